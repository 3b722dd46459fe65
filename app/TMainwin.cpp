// Creation, lifecycle and window events of the main window.
#include "app/TMainwin.h"

#include "app/clipboard_commands.h"
#include "app/core_commands.h"
#include "app/export_commands.h"
#include "app/info_commands.h"
#include "app/gauss_commands.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_version.h"
#include "app/aux_curves.h"
#include "app/fluor_commands.h"
#include "app/options_commands.h"
#include "app/processing_commands.h"
#include "app/program_state.h"
#include "app/quantum_yield_commands.h"
#include "app/plot/Xygraph.h"
#include "app/plot/xy_start_settings.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "app/spectroscope_view.h"
#include "app/stored_options.h"
#include "app/tool_commands.h"
#include "app/webcam_commands.h"
#include "app/window_placement.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/registry.h"
#include "platform/ui.h"

namespace {
TMainwin* theMainwin = nullptr;
}  // namespace

TMainwin* Mainwin() { return theMainwin; }

TMainwin::TMainwin(const std::vector<std::string>& args, QWidget* parent) : QMainWindow(parent) {
    setObjectName("Mainwin");
    theMainwin = this;
    // Status texts and progress that readers and tools report through the ui layer show here; the
    // text is painted at once, since the work that reports it keeps the event loop waiting.
    SetStatusSink({this,
                   [this](int panel, const QString& text) {
                       SetStatusText(panel, text);
                       repaint();
                   },
                   [this](int value, int maximum) { ShowProgress(value, maximum); }});
    FormCreate(args);
}

TMainwin::~TMainwin() {
    if (!cleanedUp_) Cleanup();
    RemoveSaveHooks();
    ClearStatusSink(this);
    if (theMainwin == this) theMainwin = nullptr;
}

void TMainwin::FormCreate(const std::vector<std::string>& args) {
    SetShellClosing(false);
    // 1. the spectra list, empty
    SpectraList.Clear();
    AbortRequested = 0;
    // 2., 6., 8., 9.: display settings, folders and every dialog's parameter group, all before the
    // stored options are applied so that those win.
    std::string programFolder = QCoreApplication::applicationDirPath().toStdString();
    if (programFolder.empty() || programFolder.back() != '/') programFolder += '/';
    SetDefaultDisplay();
    SetDefaultSettings(programFolder);

    // 3. the plot and the window
    auto* central = new QWidget(this);
    central->setObjectName("MainPanel");
    auto* lay = new QVBoxLayout(central);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    spectroscopeBar_ = new QWidget(central);
    spectroscopeBar_->setObjectName("SpectroscopeBar");
    auto* sbLay = new QHBoxLayout(spectroscopeBar_);
    sbLay->setContentsMargins(4, 2, 4, 2);
    comboSpectroscope_ = new QComboBox(spectroscopeBar_);
    comboSpectroscope_->setObjectName("ComboSpectroscope");
    sbLay->addWidget(comboSpectroscope_);
    sbLay->addStretch(1);
    spectroscopeImageBar_ = new QWidget(central);
    spectroscopeImageBar_->setObjectName("SpectroscopeImageBar");
    plot_ = new TXYPlot(central);
    plot_->setObjectName("XYPlot1");
    lay->addWidget(spectroscopeBar_);
    lay->addWidget(spectroscopeImageBar_);
    lay->addWidget(plot_, 1);
    setCentralWidget(central);
    SetWindowColor(0xFFFFFF);
    setWindowTitle(kMainCaption);

    CreateStatusBar();
    SetUpPlot();
    CreateMenus();
    CreateToolBar();
    ConnectOptionsCommands(*this);  // Configuration, Axes, General
    ConnectToolCommands(*this);
    ConnectSpectroscopeView(*this);  // the spectroscope and peak-label bars with their entries
    ConnectProcessingCommands(*this);  // Sort, Concentration, Advanced Smoothing and Baselining
    ConnectCoreCommands(*this);  // Normalize, Smooth
    ConnectWebcamCommands(*this);  // Spectrometer menu, Load spectrum image
    ConnectGaussCommands(*this);  // GaussFit menu, its dialog created here for the whole run
    ConnectQuantumYieldCommands(*this);  // its two dialogs created here for the whole run
    ConnectFluorCommands(*this);  // Fluorescence/ EEM menu, film thickness, polarisation
    ConnectExportCommands(*this);  // Batch Export, RRUFF, GnuPlot; the gnuplot dialog for the whole run
    ConnectClipboardCommands(*this);  // Copy Data, Paste Data, Open unknown binary file
    ConnectInfoCommands(*this);       // Information, Help

    // 5. spectroscope view off
    if (QAction* a = Action("ShowSpectroscopeView")) a->setChecked(false);
    spectroscopeBar_->hide();
    spectroscopeImageBar_->hide();

    // 7. status panel 0
    SetStatusText(0, QString::number(plot_->KurvenAnzahl()) + " Spectra");

    // 10. dropped files
    setAcceptDrops(true);

    // 11. placement and recent files
    resize(900, 640);
    RestorePlacement();
    recent_.Load();
    RefreshRecentMenu();

    // 12. stored options
    ApplyStoredOptions(*this);

    // 13. the first command-line argument, when it names an existing file
    if (!args.empty() && FileExists(args.front())) {
        PendingFiles.push_back(args.front());
        RunGuarded([this] { ffnen1Click(); });
        PendingFiles.clear();
    }

    // 14.
    if (QAction* a = Action("ShowLegend1")) a->setChecked(plot_->Legende);
}

void TMainwin::SetUpPlot() {
    TXYPlot& p = *plot_;
    p.Host.statusText = [this](int panel) { return StatusText(panel); };
    p.Host.setStatusText = [this](int panel, const QString& t) { SetStatusText(panel, t); };
    p.Host.peakLabelAngle = [] { return static_cast<int>(ProgramSettings.PeakLabelSettings.Angle); };
    p.Host.displayUnits = [this] { return Display(); };
    p.Host.curveLooks = [this](int n) { return CurveLooksOf(Spectra(), n); };
    p.Host.curveAppearanceRestore = [] { return ProgramSettings.CurveAppearanceRestore != 0; };
    p.Host.windowColor = [this] { return windowColor_; };
    p.Host.spectroscopeViewShown = [this] {
        QAction* a = Action("ShowSpectroscopeView");
        return a && a->isChecked();
    };
    p.Host.peakLabelsShown = [this] {
        QAction* a = Action("ShowPeakLabels1");
        return a && a->isChecked();
    };
    p.Host.delay = [](int ms) { DelayWithMessages(ms); };
    InstallSaveHooks();
    connect(plot_, &TXYPlot::positionText, this, [this](const QString& t) { SetStatusText(2, t); });

    // 4. the plot's start settings
    SetUpStartPlot(p);
}

void TMainwin::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("AdvStatusBar1");
    bar->setSizeGripEnabled(true);
    const int widths[3] = {120, 328, 100};
    const char* names[3] = {"StatusPanel0", "StatusPanel1", "StatusPanel2"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(names[i]);
        panels_[i]->setFixedWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        panels_[i]->setAlignment(i < 2 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        bar->addWidget(panels_[i]);
    }
    panels_[1]->setText("Infos");
    progress_ = new QProgressBar(bar);
    progress_->setObjectName("ProgressBar1");
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setFixedWidth(200);
    progress_->hide();
    bar->addWidget(progress_);
}

QString TMainwin::StatusText(int panel) const {
    return panel >= 0 && panel < 3 && panels_[panel] ? statusTexts_[panel] : QString();
}

void TMainwin::SetStatusText(int panel, const QString& text, const QString& toolTip) {
    if (panel < 0 || panel >= 3 || !panels_[panel]) return;
    statusTexts_[panel] = text;
    // The panels keep their widths; a text wider than its panel is shortened at its end, so that it
    // still reads from its start, and shows whole as the panel's tool tip.
    QLabel* label = panels_[panel];
    const QFontMetrics fm(label->font());
    const int room = label->contentsRect().width() - fm.horizontalAdvance(QLatin1Char('x'));
    const bool fits = fm.horizontalAdvance(text) <= room;
    label->setText(fits ? text : fm.elidedText(text, Qt::ElideRight, std::max(room, 0)));
    label->setToolTip(!toolTip.isEmpty() || fits ? toolTip : text);
}

void TMainwin::ShowProgress(int value, int maximum) {
    if (!progress_) return;
    if (value < 0) {
        progress_->hide();
        return;
    }
    progress_->setRange(0, maximum);
    progress_->setValue(value);
    progress_->show();
}

void TMainwin::SetWindowColor(uint32_t color) {
    windowColor_ = color & 0xFFFFFF;
    const QColor c(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    if (centralWidget()) {
        centralWidget()->setAutoFillBackground(true);
        centralWidget()->setPalette(pal);
    }
    if (plot_) {
        plot_->Dirty = true;
        plot_->update();
    }
}

void TMainwin::RestorePlacement() {
    auto p = LoadWindowPlacement();
    if (!p) return;
    QRect r(p->Left, p->Top, p->Right - p->Left, p->Bottom - p->Top);
    // A placement from another screen layout must still show the window.
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect avail = s->availableVirtualGeometry();
        if (!avail.isEmpty() && !avail.intersects(r)) r.moveTopLeft(avail.topLeft());
    }
    setGeometry(r);
    if (p->Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainwin::SavePlacement() {
    TWindowPlacement p;
    const QRect r = isMaximized() ? normalGeometry() : geometry();
    p.Left = r.left();
    p.Top = r.top();
    p.Right = r.left() + r.width();
    p.Bottom = r.top() + r.height();
    p.Maximized = isMaximized();
    SaveWindowPlacement(p);
    recent_.Save();
    ++placementWrites_;
}

void TMainwin::Cleanup() {
    if (cleanedUp_) return;
    cleanedUp_ = true;
    SetShellClosing(true);
    ReleaseWebcam(*this);
    SavePlacement();
    // Settings that could not be saved during the session or now are said once, not lost silently.
    if (const std::string unsaved = registry::unsavedSettingsMessage(); !unsaved.empty())
        ui::messageBox(unsaved, "Varolux32", ui::Buttons::Ok, ui::Icon::Warning);
    SpectraList.Clear();
    LampCurve.Free();
    CorrectionCurve.Free();
    if (plot_) plot_->SetKurvenAnzahl(0);
    ProgramSettings.GnuplotSettings.CommandLines.clear();
}

void TMainwin::closeEvent(QCloseEvent* event) {
    SetShellClosing(true);
    if (ActiveWaits() > 0) {
        // A wait loop still runs below this event; it leaves on the flag, and the close is repeated
        // once it has, so nothing it uses is freed under it.
        event->ignore();
        QTimer::singleShot(10, this, [this] { close(); });
        return;
    }
    Cleanup();
    event->accept();
}

void TMainwin::Beenden1Click() {
    SetShellClosing(true);
    if (ActiveWaits() > 0) {
        QTimer::singleShot(10, this, [this] { Beenden1Click(); });
        return;
    }
    Cleanup();
    close();
    QCoreApplication::quit();
}

void TMainwin::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (plot_ && !cleanedUp_) plot_->Dirty = true;
}

void TMainwin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        AbortRequested = 1;
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainwin::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainwin::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    bool any = false;
    for (const QUrl& u : urls) {
        if (!u.isLocalFile()) continue;
        PendingFiles.push_back(u.toLocalFile().trimmed().toStdString());
        any = true;
    }
    event->acceptProposedAction();
    if (any) RunCommand([this] { OpenPendingFiles(); });
}

void TMainwin::OpenPendingFiles() {
    ffnen1Click();
    PendingFiles.clear();
}
