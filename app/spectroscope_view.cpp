#include "app/spectroscope_view.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cmath>
#include <memory>

#include "app/TMainwin.h"
#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "app/spectroscope_strip.h"
#include "app/wrap_layout.h"
#include "core/peaks.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

constexpr const char* kSpectroscopeUnitsText =
    "  only possible for\r\n  x axis:   wavelength\r\n  y axis:   transmittance, absorbance, intensity";

// The controls of both bars; a child object of the main window, so it goes with it.
class ViewState : public QObject {
public:
    explicit ViewState(TCommandHost& w) : QObject(w.Window()), host(w) { setObjectName("SpectroscopeViewState"); }
    TCommandHost& host;
    // The main window's bars of the view and its combo box of spectra.
    QWidget* bar = nullptr;
    QWidget* imageBar = nullptr;
    QComboBox* combo = nullptr;
    QCheckBox* activate = nullptr;
    QCheckBox* gray = nullptr;
    QCheckBox* ticks = nullptr;
    QSpinBox* tickStep = nullptr;
    QLabel* image = nullptr;
    std::unique_ptr<QImage> bitmap;  // exists only while the view is on

    QWidget* labelBar = nullptr;
    QRadioButton* modes[3] = {nullptr, nullptr, nullptr};
    QSpinBox* threshold = nullptr;
    QSpinBox* xDigits = nullptr;
    QSpinBox* yDigits = nullptr;
    QSpinBox* prominence = nullptr;
    QSpinBox* angle = nullptr;
    QComboBox* labelCombo = nullptr;
    QCheckBox* allSpectra = nullptr;
    bool syncing = false;
};

ViewState* stateOf(TCommandHost& w) { return w.Window()->findChild<ViewState*>("SpectroscopeViewState"); }

bool viewOn(TCommandHost& w) {
    QAction* a = w.Action("ShowSpectroscopeView");
    return a && a->isChecked();
}

void fillCombo(QComboBox* box, const TSpectraList& list, int keep) {
    box->blockSignals(true);
    box->clear();
    for (const auto& rec : list) box->addItem(QString::fromStdString(rec->Title.str()));
    if (box->count() > 0) box->setCurrentIndex(std::clamp(keep, 0, box->count() - 1));
    box->blockSignals(false);
}

// Draws the strip into a bitmap the size of its bar less the combo column; nothing below 1 pixel.
void drawStrip(TCommandHost& w, ViewState& s) {
    QWidget* bar = s.imageBar;
    if (!bar) return;
    const int width = bar->width() - 110, height = bar->height();
    if (width < 1 || height < 1) {
        s.image->clear();
        return;
    }
    if (!s.bitmap || s.bitmap->width() != width || s.bitmap->height() != height)
        s.bitmap = std::make_unique<QImage>(width, height, QImage::Format_RGB888);
    const int index = (w.XYPlot()->KurvenAnzahl() > 0 && s.activate->isChecked()) ? s.combo->currentIndex() : -1;
    DrawSpectroscopeImage(*s.bitmap, s.ticks->isChecked(), static_cast<int32_t>(std::lround(s.tickStep->value())),
                          s.gray->isChecked(), w.Spectra().Get(index), w.Display(),
                          w.XYPlot()->Direction == 2);
    s.image->setPixmap(QPixmap::fromImage(*s.bitmap));
}

void showView(TCommandHost& w, ViewState& s, bool on) {
    if (on) {
        s.bar->show();
        fillCombo(s.combo, w.Spectra(), 0);
        s.imageBar->show();
        drawStrip(w, s);
        w.XYPlot()->Autoscaling = true;
        w.XYPlot()->Dirty = true;
    } else {
        s.bar->hide();
        s.imageBar->hide();
        s.bitmap.reset();
        s.image->clear();
    }
    w.XYPlot()->update();
}

void ShowSpectroscopeViewClick(TCommandHost& w) {
    ViewState* s = stateOf(w);
    QAction* a = w.Action("ShowSpectroscopeView");
    const bool wanted = a->isChecked();  // the menu already flipped its check
    const TDisplayState d = w.Display();
    const bool unitsFit = d.DisplayXUnit == SpecXNanometer && (d.DisplayYMode == SpecYTransmittance ||
                                                               d.DisplayYMode == SpecYAbsorbance ||
                                                               d.DisplayYMode == SpecYIntensity);
    if (wanted && !unitsFit) {
        a->setChecked(false);
        ui::messageBox(kSpectroscopeUnitsText);
        return;
    }
    showView(w, *s, wanted);
}

void AlignButtonClick(TCommandHost& w) {
    TXYPlot& plot = *w.XYPlot();
    if (plot.KurvenAnzahl() == 0) return;
    plot.KeepXRangeOnce = true;
    plot.XDrawnMin = 400;
    plot.XDrawnMax = 750;
    w.UpdateAxisTitles();
    plot.Autoscaling = true;
    plot.Dirty = true;
    plot.update();
}

void SaveStripAs(TCommandHost& w, ViewState& s) {
    if (!s.bitmap) return;
    std::string name = ChooseFile(w.Window(), {.Mode = TFileDialogSpec::TMode::Save,
                                       .ObjectName = "SaveStrip",
                                       .Title = "Save as...",
                                       .Start = QString::fromStdString(ProgramSettings.SaveFolder),
                                       .Filters = QtNameFilters("Bitmaps|*.bmp")});
    if (name.empty()) return;
    // The question comes once the extension is in place.
    name = ChangeFileExt(name, ".bmp");
    if (!ConfirmReplaceFile(name)) return;
    if (!s.bitmap->save(QString::fromStdString(name), "BMP")) ui::messageBox("The picture could not be saved!");
}

QSpinBox* spin(QWidget* parent, const char* name, int lo, int hi, int step) {
    auto* sp = new QSpinBox(parent);
    sp->setObjectName(name);
    sp->setRange(lo, hi);
    sp->setSingleStep(step);
    return sp;
}

// ----- peak labels

void LabelsFor(TXYPlot& plot, TSpectrumRecord& rec, int n) {
    const TPeakLabelSettings& labelSettings = ProgramSettings.PeakLabelSettings;
    const int32_t count = rec.PointCount();
    if (count < 3) return;
    double lo = SpecXValue(rec, 1), hi = SpecXValue(rec, count - 1);
    if (DisplayXUnit != SpecXNanometer) std::swap(lo, hi);
    std::vector<int32_t> peaks;
    FindPeaksAbs(rec, labelSettings.Prominence, peaks, lo, hi, labelSettings.Threshold, CurrentDisplayState());
    const int xd = std::clamp(labelSettings.XDigits, 1, 18), yd = std::clamp(labelSettings.YDigits, 1, 18);
    QStringList labels;
    for (int32_t i : peaks) {
        const std::string x = numtext::FloatToStrF(SpecXValue(rec, i), numtext::FloatFormat::General, xd, 0);
        const std::string y = numtext::FloatToStrF(SpecYValue(rec, i), numtext::FloatFormat::General, yd, 0);
        const std::string t = labelSettings.Mode == 1 ? x : labelSettings.Mode == 2 ? y : x + "  " + y;
        labels << QString::fromStdString(t);
    }
    plot.AddMarkers(n, std::vector<int>(peaks.begin(), peaks.end()), labels);
}

void readPeakBar(ViewState& s) {
    TPeakLabelSettings& labelSettings = ProgramSettings.PeakLabelSettings;
    for (int m = 0; m < 3; ++m)
        if (s.modes[m]->isChecked()) labelSettings.Mode = m;
    labelSettings.Threshold = s.threshold->value();
    labelSettings.XDigits = s.xDigits->value();
    labelSettings.YDigits = s.yDigits->value();
    labelSettings.Prominence = s.prominence->value();
    labelSettings.Angle = s.angle->value();
    labelSettings.AllSpectra = s.allSpectra->isChecked();
    if (!labelSettings.AllSpectra) labelSettings.SelectedSpectrum = s.labelCombo->currentIndex();
}

void setLabelCombo(ViewState& s) {
    const TPeakLabelSettings& labelSettings = ProgramSettings.PeakLabelSettings;
    QComboBox* c = s.labelCombo;
    c->blockSignals(true);
    c->clear();
    if (labelSettings.AllSpectra) {
        c->setEnabled(false);
        c->setStyleSheet("background-color: #C0C0C0;");
    } else {
        c->setEnabled(true);
        c->setStyleSheet(QString());
        for (const auto& rec : s.host.Spectra()) c->addItem(QString::fromStdString(rec->Title.str()));
        if (c->count() > 0) {
            c->setCurrentIndex(0);
            // A stored choice beyond the list is clamped to its last item.
            if (labelSettings.SelectedSpectrum >= 0)
                c->setCurrentIndex(std::min(labelSettings.SelectedSpectrum, c->count() - 1));
        }
    }
    c->blockSignals(false);
}

void writePeakBar(ViewState& s) {
    const TPeakLabelSettings& labelSettings = ProgramSettings.PeakLabelSettings;
    s.syncing = true;
    s.modes[std::clamp(labelSettings.Mode, 0, 2)]->setChecked(true);
    s.threshold->setValue(static_cast<int>(std::lround(labelSettings.Threshold)));
    s.xDigits->setValue(labelSettings.XDigits);
    s.yDigits->setValue(labelSettings.YDigits);
    s.prominence->setValue(labelSettings.Prominence);
    s.angle->setValue(labelSettings.Angle);
    s.allSpectra->setChecked(labelSettings.AllSpectra);
    setLabelCombo(s);
    s.syncing = false;
}

void ShowPeakLabels1Click(TCommandHost& w) {
    ViewState* s = stateOf(w);
    QAction* a = w.Action("ShowPeakLabels1");
    if (a->isChecked()) {
        s->labelBar->show();
        writePeakBar(*s);
    } else {
        s->labelBar->hide();
        readPeakBar(*s);
    }
    SetPeakLabelsShown(a->isChecked());
    // The labels change only the room above the curves. An automatic scale comes out as before from the
    // same data; a zoomed range is kept as shown, which a new layout would otherwise round outward again.
    TXYPlot& plot = *w.XYPlot();
    if (!plot.Autoscaling && plot.KurvenAnzahl() > 0 && plot.XDrawnMin < plot.XDrawnMax)
        plot.KeepXRangeOnce = true;
    plot.Dirty = true;
    w.ReplotAllSpectra();
}

// The peak-label bar on top of `central`, the main window's column of plot and bars.
void buildPeakBar(TCommandHost& w, ViewState& s, QWidget* central) {
    auto* bar = new QWidget(central);
    bar->setObjectName("PeakLabelBar");
    s.labelBar = bar;
    // The controls wrap into a second row in a narrow window rather than widen it.
    auto* lay = new TWrapLayout(bar);
    lay->setContentsMargins(4, 2, 4, 2);
    // Controls that belong together stay together on one row.
    auto group = [&](std::initializer_list<QWidget*> widgets) {
        auto* g = new QWidget(bar);
        auto* gl = new QHBoxLayout(g);
        gl->setContentsMargins(0, 0, 0, 0);
        for (QWidget* c : widgets) {
            c->setParent(g);
            gl->addWidget(c);
        }
        lay->addWidget(g);
    };
    const char* names[3] = {"LabelBoth", "LabelXOnly", "LabelYOnly"};
    const char* captions[3] = {"both", "x only", "y only"};
    for (int m = 0; m < 3; ++m) {
        s.modes[m] = new QRadioButton(captions[m], bar);
        s.modes[m]->setObjectName(names[m]);
    }
    group({s.modes[0], s.modes[1], s.modes[2]});
    s.threshold = spin(bar, "ThresholdEdit", 1, 100, 1);
    s.xDigits = spin(bar, "XDigitsEdit", 0, 9, 1);
    s.yDigits = spin(bar, "YDigitsEdit", 0, 9, 1);
    s.prominence = spin(bar, "ProminenceEdit", 1, 10, 1);
    s.angle = spin(bar, "AngleEdit", 0, 90, 5);
    s.labelCombo = new QComboBox(bar);
    s.labelCombo->setObjectName("PeakLabelCombo");
    s.labelCombo->setMinimumWidth(140);
    s.allSpectra = new QCheckBox("all spectra", bar);
    s.allSpectra->setObjectName("PeakLabelAllSpectra");
    auto add = [&](const char* caption, QWidget* c) { group({new QLabel(caption, bar), c}); };
    add("Threshold:", s.threshold);
    add("Digits:", s.xDigits);
    add("Digits:", s.yDigits);
    add("Prominence:", s.prominence);
    add("angle:", s.angle);
    group({new QLabel("select one:", bar), s.labelCombo, s.allSpectra});
    if (auto* column = qobject_cast<QBoxLayout*>(central->layout())) column->insertWidget(0, bar);
    bar->hide();

    ViewState* ps = &s;
    TCommandHost* pw = &w;
    auto changed = [ps, pw] {
        if (ps->syncing) return;
        readPeakBar(*ps);
        pw->ReplotAllSpectra();
    };
    for (auto* m : s.modes) QObject::connect(m, &QRadioButton::toggled, bar, [changed](bool on) {
            if (on) changed();
        });
    for (auto* sp : {s.threshold, s.xDigits, s.yDigits, s.prominence, s.angle})
        QObject::connect(sp, &QSpinBox::valueChanged, bar, changed);
    QObject::connect(s.labelCombo, &QComboBox::currentIndexChanged, bar, changed);
    QObject::connect(s.allSpectra, &QCheckBox::clicked, bar, [ps, pw] {
        ProgramSettings.PeakLabelSettings.AllSpectra = ps->allSpectra->isChecked();
        setLabelCombo(*ps);
        readPeakBar(*ps);
        pw->ReplotAllSpectra();
    });
}

}  // namespace

void SpectroscopeViewOff(TCommandHost& w) {
    ViewState* s = stateOf(w);
    QAction* a = w.Action("ShowSpectroscopeView");
    if (!s || !a) return;
    a->setChecked(false);
    showView(w, *s, false);
}

void RedrawSpectroscopeImage(TCommandHost& w) {
    ViewState* s = stateOf(w);
    if (!s || !viewOn(w)) return;
    fillCombo(s->combo, w.Spectra(), s->combo->currentIndex());
    drawStrip(w, *s);
}

const QImage* SpectroscopeBitmap(TCommandHost& w) {
    ViewState* s = stateOf(w);
    return s ? s->bitmap.get() : nullptr;
}

void SyncPeakLabelBar(TCommandHost& w) {
    if (ViewState* s = stateOf(w)) writePeakBar(*s);
}

void ConnectSpectroscopeView(TMainwin& w) {
    auto* s = new ViewState(w);
    QWidget* bar = w.findChild<QWidget*>("SpectroscopeBar");
    QWidget* imageBar = w.findChild<QWidget*>("SpectroscopeImageBar");
    if (!bar || !imageBar) return;
    s->bar = bar;
    s->imageBar = imageBar;
    s->combo = w.ComboSpectroscope();
    // The strip and its controls sit below the plot.
    if (auto* central = qobject_cast<QBoxLayout*>(w.centralWidget()->layout())) {
        central->removeWidget(imageBar);
        central->removeWidget(bar);
        central->addWidget(imageBar);
        central->addWidget(bar);
    }
    auto* lay = qobject_cast<QBoxLayout*>(bar->layout());
    auto check = [&](const char* name, const char* caption, bool on) {
        auto* c = new QCheckBox(caption, bar);
        c->setObjectName(name);
        c->setChecked(on);
        return c;
    };
    s->activate = check("ActivateCheck", "activate", false);
    s->gray = check("GrayScaleCheck", "gray scale", false);
    s->ticks = check("TickEveryCheck", "tick every", true);
    s->tickStep = spin(bar, "TickStepEdit", 5, 500, 5);
    s->tickStep->setValue(25);
    auto button = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, bar);
        b->setObjectName(name);
        return b;
    };
    QPushButton* copy = button("CopyToClipboard", "CopyToClipboard");
    QPushButton* save = button("SaveAsButton", "Save as...");
    QPushButton* align = button("AlignButton", "Align");
    int at = 0;
    lay->insertWidget(at++, new QLabel("spectrum:", bar));
    at++;  // the combo box of the main window
    for (QWidget* c : {static_cast<QWidget*>(s->activate), static_cast<QWidget*>(s->gray),
                       static_cast<QWidget*>(s->ticks), static_cast<QWidget*>(s->tickStep)})
        lay->insertWidget(at++, c);
    lay->insertWidget(at++, new QLabel("nm", bar));
    for (QWidget* b : {copy, save, align}) lay->addWidget(b);

    imageBar->setAutoFillBackground(true);
    imageBar->setStyleSheet("background-color: white;");
    imageBar->setMinimumHeight(40);
    auto* il = imageBar->layout() ? qobject_cast<QBoxLayout*>(imageBar->layout()) : new QHBoxLayout(imageBar);
    il->setContentsMargins(110, 0, 0, 0);
    s->image = new QLabel(imageBar);
    s->image->setObjectName("SpectroscopeImage");
    il->addWidget(s->image);

    TCommandHost* pw = &w;
    auto update = [pw, s] {
        if (viewOn(*pw)) drawStrip(*pw, *s);
    };
    QObject::connect(s->combo, &QComboBox::currentIndexChanged, s, update);
    for (QCheckBox* c : {s->activate, s->gray, s->ticks}) QObject::connect(c, &QCheckBox::clicked, s, update);
    QObject::connect(s->tickStep, &QSpinBox::valueChanged, s, update);
    QObject::connect(copy, &QPushButton::clicked, s, [s] {
        if (s->bitmap) QGuiApplication::clipboard()->setImage(*s->bitmap);
    });
    QObject::connect(save, &QPushButton::clicked, s, [pw, s] { RunGuarded([&] { SaveStripAs(*pw, *s); }); });
    QObject::connect(align, &QPushButton::clicked, s, [pw] { AlignButtonClick(*pw); });

    buildPeakBar(w, *s, w.centralWidget());
    dialogcmd::connectCommands(w, {{"ShowSpectroscopeView", ShowSpectroscopeViewClick},
                                   {"ShowPeakLabels1", ShowPeakLabels1Click}});
    SetPeakLabelHook(LabelsFor);
    w.XYPlot()->Host.redrawSpectroscopeImage = [pw] { RedrawSpectroscopeImage(*pw); };
    w.XYPlot()->Host.syncPeakLabelBar = [pw] {
        if (QAction* a = pw->Action("ShowPeakLabels1"); a && a->isChecked()) SyncPeakLabelBar(*pw);
    };
}
