#include "app/dialogs/TEEMDia.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

#include "app/dialogs/radio_group.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Pcolor.h"
#include "app/plot/xy_fonts.h"
#include "app/program_state.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

QSlider* NewSlider(QWidget* parent, const char* name, int lo, int hi, int value, int step) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setPageStep(step);
    return s;
}

QFont ArialPt(int pt, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(xyfont::HeightForSize(pt));
    f.setBold(bold);
    return f;
}

// A typed limit: every "." becomes the regional separator; false when the text is no number.
bool TypedNumber(const QString& text, double& v) {
    std::string t = S(text);
    try {
        v = DialogFloat(t);
        return true;
    } catch (const vx::Error&) {
        return false;
    }
}

}  // namespace

TEEMDia::TEEMDia(QWidget* parent, double plotXMin, double plotXMax) : QDialog(parent) {
    setObjectName("EEMDia");
    setWindowTitle("EEM - Excitation Emission Matrix");
    setModal(true);

    PColor1 = new TPColor(this);
    PColor1->setObjectName("PColor1");
    PColor1->setMinimumSize(300, 240);
    // The form's choices: a clean map (no facet mesh over dense data), interpolated, readable fonts.
    PColor1->SetDrawFacet(false);
    PColor1->SetTypeImage(dtInterp);
    PColor1->SetColorImageFon(0xFFFFFF);
    PColor1->Title.SetFont(ArialPt(10, true));
    PColor1->Axes.SetFont(ArialPt(9));

    CheckBox1 = NewCheck(this, "CheckBox1", "Contour", false);
    CheckBox2 = NewCheck(this, "CheckBox2", "interpolated", true);
    RxSlider1 = NewSlider(this, "RxSlider1", 2, 40, 10, 5);
    RxSlider2 = NewSlider(this, "RxSlider2", 2, 252, 64, 50);
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");
    CheckBox3 = NewCheck(this, "CheckBox3", "automat.", true);
    Edit1 = NewEdit(this, "Edit1", "");
    Edit2 = NewEdit(this, "Edit2", "");
    CheckBox4 = NewCheck(this, "CheckBox4", "logarithm.", false);
    CheckBox5 = NewCheck(this, "CheckBox5", "Axes", true);
    RadioGroup1 = new TRadioGroup(this, "RadioGroup1", "Display", {"normal", "Gradient"}, 0);
    CheckBox6 = NewCheck(this, "CheckBox6", "switch x <=> y axes", false);
    Button2 = NewButton(this, "Button2", "Copy => Clipboard");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setMinimumWidth(320);
    auto* help = NewButton(this, "Button1", "Help");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("CloseBtn");

    auto* side = new QVBoxLayout;
    side->addWidget(CheckBox2);
    side->addWidget(CheckBox1);
    side->addWidget(RxSlider1);
    side->addWidget(Label2);
    side->addWidget(RxSlider2);
    side->addWidget(Label3);
    side->addSpacing(8);
    side->addWidget(CheckBox3);
    auto* limits = new QGridLayout;
    limits->addWidget(new QLabel("max.", this), 0, 0);
    limits->addWidget(Edit1, 0, 1);
    limits->addWidget(new QLabel("min.", this), 1, 0);
    limits->addWidget(Edit2, 1, 1);
    side->addLayout(limits);
    side->addWidget(CheckBox4);
    side->addSpacing(8);
    side->addWidget(RadioGroup1);
    side->addWidget(CheckBox5);
    side->addWidget(CheckBox6);
    side->addSpacing(8);
    side->addWidget(Button2);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(side);
    top->addWidget(PColor1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label1, 1);
    bottom->addWidget(help);
    bottom->addWidget(close);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top, 1);
    lay->addLayout(bottom);

    connect(CheckBox1, &QCheckBox::clicked, this, &TEEMDia::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TEEMDia::CheckBox1Click);
    connect(RxSlider1, &QSlider::valueChanged, this, &TEEMDia::RxSlider1Change);
    connect(RxSlider2, &QSlider::valueChanged, this, &TEEMDia::RxSlider2Change);
    connect(CheckBox3, &QCheckBox::toggled, this, &TEEMDia::CheckBox3Click);
    connect(Edit1, &QLineEdit::textEdited, this, &TEEMDia::Edit1Change);
    connect(Edit2, &QLineEdit::textEdited, this, &TEEMDia::Edit2Change);
    connect(CheckBox4, &QCheckBox::toggled, this, &TEEMDia::CheckBox4Click);
    connect(CheckBox5, &QCheckBox::toggled, this, &TEEMDia::CheckBox5Click);
    connect(RadioGroup1, &TRadioGroup::ItemIndexChanged, this, &TEEMDia::RadioGroup1Click);
    connect(CheckBox6, &QCheckBox::toggled, this, &TEEMDia::CheckBox6Click);
    connect(Button2, &QPushButton::clicked, this, &TEEMDia::Button2Click);
    connect(help, &QPushButton::clicked, this,
            [] { OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_2d_en.html#eem"); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    PColor1->OnMouseMove = [this](QMouseEvent* e) { PColor1MouseMove(e); };

    resize(900, 620);
    FormCreate(plotXMin, plotXMax);
}

void TEEMDia::FormCreate(double plotXMin, double plotXMax) {
    Label1->clear();
    Edit1->clear();
    Edit2->clear();
    Edit1->setEnabled(false);
    Edit2->setEnabled(false);
    orientation_ = true;
    logarithm_ = false;
    if (DisplayXUnit != SpecXNanometer) return;  // the map stays empty
    switch (BuildEEMGrid(SpectraList, CurrentDisplayState(), plotXMin, plotXMax, grid_)) {
    case TEEMBuild::Built:
        break;
    case TEEMBuild::TooLarge:
        ui::messageBox(kEEMTooLargeText);
        return;
    case TEEMBuild::NoOverlap:
        ui::messageBox(kEEMNoOverlapText);
        return;
    case TEEMBuild::NoSpectra:
    case TEEMBuild::NotNm:
        return;
    }
    built_ = true;
    ShowGrid(grid_);
    RxSlider1Change();
    RxSlider2Change();
    PColor1->SetMaxMinValGraphAuto(true);
}

void TEEMDia::ShowGrid(const TEEMGrid& g) {
    PColor1->SetGridSize(g.Nx, g.Ny, g.X1, g.X2, g.Y1, g.Y2);
    PColor1->SetData(g.Data, g.X1, g.X2, g.Y1, g.Y2);
    Titles();
}

void TEEMDia::Titles() {
    const QString ex = QStringLiteral("excitation wavelength / nm"), em = QStringLiteral("emission wavelength / nm");
    if (orientation_)
        PColor1->Axes.SetTitles(ex, em);
    else
        PColor1->Axes.SetTitles(em, ex);
    QString t = QStringLiteral("Excitation-emission matrix");
    if (PColor1->ImageMode() == imGradient) t += QStringLiteral(", gradient");
    if (logarithm_) t += QStringLiteral(", log10 intensity");
    PColor1->Title.SetText(t);
}

void TEEMDia::CheckBox1Click() {
    // Contours come only over the interpolated picture.
    const bool interp = CheckBox2->isChecked();
    PColor1->SetTypeImage(interp && CheckBox1->isChecked() ? dtInterpContour : (interp ? dtInterp : dtFlat));
}

void TEEMDia::RxSlider1Change() {
    PColor1->SetContourLines(RxSlider1->value());
    Label2->setText(QString::number(PColor1->ContourLines()) + " cont. lines");
}

void TEEMDia::RxSlider2Change() {
    PColor1->SetNumbCol(RxSlider2->value());
    Label3->setText(QString::number(PColor1->NumbCol()) + " colours");
}

void TEEMDia::ShowLimits() {
    if (CheckBox3->isChecked()) return;
    Edit1->setText(Q(EEMLimitText(PColor1->MaxValGraph())));
    Edit2->setText(Q(EEMLimitText(PColor1->MinValGraph())));
}

void TEEMDia::CheckBox3Click() {
    if (CheckBox3->isChecked()) {
        PColor1->SetMaxMinValGraphAuto(true);
        Edit1->clear();
        Edit2->clear();
        Edit1->setEnabled(false);
        Edit2->setEnabled(false);
        if (logarithm_) {
            // Two decades below the maximum, as the logarithm shows them.
            const double mx = PColor1->MaxValGraph();
            PColor1->SetMaxMinValGraphAuto(false);
            PColor1->SetMinValGraph(Log10Ext(Pow10Ext(mx) / 100));
        }
    } else {
        PColor1->SetMaxMinValGraphAuto(false);
        Edit1->setEnabled(true);
        Edit2->setEnabled(true);
        ShowLimits();
    }
}

void TEEMDia::Edit1Change() {
    double v;
    if (CheckBox3->isChecked() || !TypedNumber(Edit1->text(), v)) return;
    const double otherBefore = PColor1->MinValGraph();
    PColor1->SetMaxValGraph(v);
    if (PColor1->MinValGraph() != otherBefore) Edit2->setText(Q(EEMLimitText(PColor1->MinValGraph())));
}

void TEEMDia::Edit2Change() {
    double v;
    if (CheckBox3->isChecked() || !TypedNumber(Edit2->text(), v)) return;
    const double otherBefore = PColor1->MaxValGraph();
    PColor1->SetMinValGraph(v);
    if (PColor1->MaxValGraph() != otherBefore) Edit1->setText(Q(EEMLimitText(PColor1->MaxValGraph())));
}

void TEEMDia::SetLogarithmBox(bool on) {
    const QSignalBlocker block(CheckBox4);
    CheckBox4->setChecked(on);
}

void TEEMDia::CheckBox4Click() {
    if (!built_) {
        SetLogarithmBox(false);
        return;
    }
    if (CheckBox4->isChecked()) {
        const double m = PColor1->MaxValGraph();
        TEEMMatrix logs;
        if (!LogarithmOf(LinearGrid().Data, m, logs)) {
            // log10 of values that are not positive has no meaning: the values stay linear.
            SetLogarithmBox(false);
            ui::messageBox(kEEMNoPositiveText);
            return;
        }
        logarithm_ = true;
        PColor1->UpdateData(logs);
        PColor1->SetMaxMinValGraphAuto(false);
        PColor1->SetMinValGraph(Log10Ext(m / 100));
        PColor1->SetMaxValGraph(Log10Ext(m));
        ShowLimits();
    } else {
        logarithm_ = false;
        PColor1->UpdateData(LinearGrid().Data);
        PColor1->SetMaxMinValGraphAuto(true);
        // With manual scaling the map keeps manual limits (those of the linear values), so the edits
        // go on working.
        if (!CheckBox3->isChecked()) PColor1->SetMaxMinValGraphAuto(false);
        ShowLimits();
    }
    Titles();
}

void TEEMDia::CheckBox5Click() { PColor1->Axes.SetVisible(CheckBox5->isChecked()); }

void TEEMDia::RadioGroup1Click() {
    PColor1->SetImageMode(RadioGroup1->ItemIndex() == 1 ? imGradient : imNormal);
    Titles();
}

void TEEMDia::CheckBox6Click() {
    if (!built_) return;
    if (CheckBox6->isChecked()) {
        orientation_ = false;
        swapped_ = Transposed(grid_);
        PColor1->SetGridSize(swapped_.Nx, swapped_.Ny, swapped_.X1, swapped_.X2, swapped_.Y1, swapped_.Y2);
        PColor1->SetMaxMinValGraphAuto(true);
        PColor1->SetData(swapped_.Data, swapped_.X1, swapped_.X2, swapped_.Y1, swapped_.Y2);
        PColor1->UpdateData(swapped_.Data);
        Titles();
    } else {
        orientation_ = true;
        swapped_ = TEEMGrid{};
        ShowGrid(grid_);
    }
    // Back to linear values in the new orientation.
    if (CheckBox4->isChecked())
        CheckBox4->setChecked(false);
    else
        PColor1->UpdateData(LinearGrid().Data);
}

void TEEMDia::PColor1MouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const TDataPoint d = PColor1->PixelToData(p.x(), p.y());
    if (!d.Inside || SpectraList.Count() <= 1 || !built_) return;
    const double v = PColor1->ValueAt(d.X, d.Y);
    // x is the excitation axis until the axes are swapped.
    const double ex = orientation_ ? d.X : d.Y, em = orientation_ ? d.Y : d.X;
    Label1->setText(Q(EEMReadoutText(ex, em, v)));
}

void TEEMDia::Button2Click() { PColor1->CopyToClipboard(); }
