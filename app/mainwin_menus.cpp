// The main window's menus and tool bar. Every entry carries an object name, so that the commands
// built elsewhere find their action and connect to it; entries whose command is not built yet stay
// disabled.
#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

#include "app/TMainwin.h"
#include "app/qt_ui_backend.h"

namespace {

using Handler = void (TMainwin::*)();

struct MenuEntry {
    const char* objectName;  // nullptr: separator; "" with text: submenu start; "-" : submenu end
    const char* text;
    const char* shortcut;
    Handler handler;         // nullptr: built by later work, disabled until connected
    bool checkable = false;
};

const MenuEntry kFileMenu[] = {
    {"ffnen1", "&Open", "Ctrl+O", &TMainwin::ffnen1Click},
    {"OpenUnknown1", "Open &unknown binary file", "Ctrl+Alt+O", nullptr},
    {"PasteDatafromClipboard1", "&Paste Data from Clipboard", "Ctrl+V", nullptr},
    {"Loadspectrumimage1", "Load spectrum image", "", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"Speichern1", "&Save", "Ctrl+S", &TMainwin::Speichern1Click},
    {"SaveDataas1", "Save Data &as...", "Ctrl+Shift+S", &TMainwin::SaveDataas1Click},
    {"SaveforRRUFF1", "Save for &RRUFF...", "Ctrl+Shift+R", nullptr},
    {"BatchExportData1", "&Batch Export Data...", "Ctrl+Alt+B", nullptr},
    {"SavePlotas1", "Save Pl&ot as...", "Ctrl+Shift+P", &TMainwin::SavePlotas1Click},
    {"SaveforGnuPlot1", "Save for &GnuPlot...", "Ctrl+Shift+G", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"CopyDatatoClipboard1", "Copy &Data to Clipboard", "Ctrl+Alt+C", nullptr},
    {"CopyPlottoClipboard1", "&Copy Plot to Clipboard", "Ctrl+C", &TMainwin::CopyPlottoClipboard1Click},
    {"Print1", "&Print...", "Ctrl+D", &TMainwin::Print1Click},
    {nullptr, nullptr, nullptr, nullptr},
    {"Beenden1", "&Exit", "Ctrl+Q", &TMainwin::Beenden1Click},
};

const MenuEntry kSpectraMenu[] = {
    {"General1", "&General...", "Ctrl+A", nullptr},
    {"Information1", "&Information...", "Ctrl+Shift+I", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"Normalize1", "&Normalize", "Ctrl+N", nullptr},
    {"Grundlinienkorrektur1", "&Baseline Correction", "Ctrl+Shift+K", nullptr},
    {"AdvancedBaselining1", "&Advanced Baselining...", "Ctrl+Shift+B", nullptr},
    {"SpikeRemoval1", "&Spike Removal...", "Ctrl+R", nullptr},
    {"Abspielen1", "&Play...", "Ctrl+Alt+A", nullptr},
    {"Smooth1", "S&mooth", "Ctrl+G", nullptr},
    {"AdvancedSmoothing1", "Advanced S&moothing...", "Ctrl+Alt+G", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"PeaksFWHM1", "Peaks && &FWHM...", "Ctrl+P", nullptr},
    {"Oszilatorstrke1", "Inte&gration", "Ctrl+I", nullptr},
    {"CutoffSpectrumPart1", "C&ut off Spectrum Part...", "Ctrl+Shift+A", nullptr},
    {"Sort1", "S&ort...", "Ctrl+Shift+O", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"Remove1", "Remove", "", nullptr},  // submenu
    {"Allelschen2", "Remove &All ", "Shift+Del", nullptr},
    {"SelectforRemoval1", "&Select for Removal...", "Del", nullptr},
    {"Letztesllschen1", "Remove &Last Spectrum", "Backspace", nullptr},
    {"-", nullptr, nullptr, nullptr},
};

const MenuEntry kCalculationsMenu[] = {
    {"Addition1", "&Addition...", "Ctrl+Shift+D", nullptr},
    {"Subtraction1", "&Subtraction...", "Ctrl+Shift+U", nullptr},
    {"Multiplication1", "&Multiplication...", "Ctrl+M", nullptr},
    {"Division1", "&Division...", "Ctrl+T", nullptr},
    {"SpectraAveraging1", "S&pectra Averaging...", "Ctrl+Alt+M", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"YConstants1", "&Y Constants...", "Ctrl+Y", nullptr},
    {"XConstants1", "&X Constants...", "Ctrl+X", nullptr},
    {"Derivative1", "De&rivative...", "Ctrl+Alt+D", nullptr},
    {"TransmittanceReflectance1", "&Transmittance/Reflectance...", "Ctrl+Alt+T", nullptr},
    {"DegreeofPolarisation1", "Degree of &Polarisation / Reduced Spectrum...", "Ctrl+Alt+P", nullptr},
    {"RamanShift1", "&Raman Shift...", "Ctrl+Alt+R", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"Concentration1", "&Concentration...", "Ctrl+Alt+K", nullptr},
    {"EffectiveAbsorbance1", "&Effective Absorbance...", "Ctrl+Alt+E", nullptr},
    // Ctrl+Alt+G belongs to Advanced Smoothing alone.
    {"Schwerpunkt1", "Center of &Gravity...", "", nullptr},
    {"FilmThickness1", "&Film Thickness...", "Ctrl+Alt+I", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"QuantumYield1", "&Quantum Yield...", "Ctrl+F", nullptr},
    {"LowTempQuantumYield1", "&Low Temp. Qantum Yield...", "Ctrl+Shift+T", nullptr},
};

const MenuEntry kFluorescenceMenu[] = {
    {"EmissionSensitivityCorrection1", "Emission Sensitivity &Correction...", "Ctrl+K", nullptr},
    {"ExcitationWavelengthAssignment1", "Excitation &Wavelength Assignment...", "Ctrl+Shift+E", nullptr},
    {"CorrectionofExcitationIntensity1", "Correction of Excitation &Intensity...", "Ctrl+E", nullptr},
    {"RemoveScatter1", "&Remove Rayleigh/ Raman Scatter...", "Ctrl+Alt+Y", nullptr},
    {"SubtractBlankEEM1", "Subtract &Blank EEM dataset...", "Ctrl+Alt+S", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
    {"ShowEEM1", ">> Show 2D &Spectrum (&EEM) <<", "Ctrl+Z", nullptr},
    {"CalculateExcitationSpectra1", "&Calculate Excitation Spectra...", "Ctrl+B", nullptr},
};

const MenuEntry kGaussMenu[] = {
    {"GaussManually1", "&Manually...", "", nullptr},
    {"GaussOpen1", "&Open...", "", nullptr},
    {"GaussSave1", "&Save...", "", nullptr},
};

const MenuEntry kSpectrometerMenu[] = {
    {"Get1", "Connect Webcam", "", nullptr, true},
    {"RunAcq1", "Live Acquisition", "", nullptr, true},
    {"SaveDark1", "Use Dark Spectrum", "", nullptr, true},
};

const MenuEntry kPlotMenu[] = {
    {"Configuration1", "&Configuration...", "F3", nullptr},
    {"ShowPeakLabels1", "Show Peak &Labels", "F4", nullptr, true},
    {"ShowSpectroscopeView", "Show Spectroscope &View", "F5", nullptr, true},
    {nullptr, nullptr, nullptr, nullptr},
    {"Axes1", "&Axes...", "F6", nullptr},
    {"AxesFont1", "A&xes Font...", "Ctrl+Alt+F", &TMainwin::AxesFont1Click},
    {"LegendFont1", "L&egend Font...", "Ctrl+Shift+F", &TMainwin::LegendFont1Click},
    {"ShowLegend1", "Show &Legend", "F8", &TMainwin::ShowLegend1Click, true},
    {"Gridonoff1", "&Grid on/off", "F9", &TMainwin::Gridonoff1Click},
    {"SecondaryXAxis1", "Secondary &X-Axis on/off", "F10", &TMainwin::SecondaryXAxis1Click},
    {"PointsLines1", "&Points / Lines", "F11", &TMainwin::PointsLines1Click},
    {"FlipXAxis1", "&Flip X-Axis", "F12", &TMainwin::FlipXAxis1Click},
    {nullptr, nullptr, nullptr, nullptr},
    {"StandardLinesColours1", "&Standard Lines&&Colours", "Home", &TMainwin::StandardLinesColours1Click},
    {"ThickerLines1", "&Thicker Lines", "PgUp", &TMainwin::ThickerLines1Click},
    {"ThinnerLines1", "Th&inner Lines", "PgDown", &TMainwin::ThinnerLines1Click},
    {"PlotAllBlack1", "Plot All &Black", "", &TMainwin::PlotAllBlack1Click},
    {"CyclingLineTypes1", "Cycling Line T&ypes", "", &TMainwin::CyclingLineTypes1Click},
    {nullptr, nullptr, nullptr, nullptr},
    {"Werteleser1", "&Display Values...", "Ctrl+W", nullptr},
    {"BackgroundColour1", "Background C&olour...", "Ctrl+H", &TMainwin::BackgroundColour1Click},
};

const MenuEntry kHelpMenu[] = {
    {"Help1", "&Help...", "F1", nullptr},
    {"LicenceAgreement1", "&Licence Agreement...", "", nullptr},
    {"Website1", "to the Varolux32 &Website...", "", &TMainwin::Website1Click},
    {nullptr, nullptr, nullptr, nullptr},
    {"About1", "about &Varolux32...", "F2", nullptr},
};

// Tool buttons: (action, short glyph drawn as the icon).
const std::pair<const char*, const char*> kToolButtons[] = {
    {"ffnen1", "Open"}, {"Speichern1", "Save"}, {"SaveDataas1", "Save\u2026"}, {"SaveforGnuPlot1", "Gnu"},
    {"CopyPlottoClipboard1", "Copy"}, {"Print1", "Print"}, {nullptr, nullptr}, {"General1", "Gen"},
    {"Normalize1", "Norm"}, {"SpikeRemoval1", "Spike"}, {nullptr, nullptr}, {"Allelschen2", "Del all"},
    {"SelectforRemoval1", "Del ..."}, {"Letztesllschen1", "Del last"}, {nullptr, nullptr}, {"Addition1", "+"},
    {"Subtraction1", "\u2212"}, {"Multiplication1", "\u00d7"}, {"Division1", "\u00f7"}, {"YConstants1", "Y c"},
    {"DegreeofPolarisation1", "Pol"}, {"QuantumYield1", "QY"}, {nullptr, nullptr}, {"Axes1", "Axes"},
};

QIcon GlyphIcon(const QString& glyph) {
    QPixmap pm(34, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(QColor(90, 90, 110), 1));
    p.setBrush(QColor(236, 240, 248));
    p.drawRoundedRect(QRectF(0.5, 0.5, 33, 21), 4, 4);
    QFont f("Arial");
    f.setPixelSize(glyph.size() <= 1 ? 15 : 9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 40, 110));
    p.drawText(QRect(0, 0, 34, 22), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

QString HintOf(const QString& menuText) {
    QString t = menuText;
    t.replace("&&", "\x01");
    t.remove('&');
    t.replace("\x01", "&");
    return t;
}

}  // namespace

QAction* TMainwin::Action(const std::string& objectName) const {
    auto it = actions_.find(objectName);
    return it == actions_.end() ? nullptr : it->second;
}

void TMainwin::ConnectCommand(QAction* action, void (TMainwin::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] { RunCommand([&] { (this->*handler)(); }); });
}

QAction* TMainwin::AddAction(QMenu* menu, const char* objectName, const QString& text, const QKeySequence& key,
                             void (TMainwin::*handler)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(objectName);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setToolTip(HintOf(text));
    a->setStatusTip(HintOf(text));
    if (handler) ConnectCommand(a, handler);
    else a->setEnabled(false);
    menu->addAction(a);
    addAction(a);  // shortcuts work while the menu is closed
    actions_[objectName] = a;
    return a;
}

void TMainwin::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto build = [&](const char* objectName, const char* title, const auto& entries) {
        QMenu* menu = bar->addMenu(title);
        menu->setObjectName(objectName);
        QMenu* target = menu;
        for (const MenuEntry& e : entries) {
            if (!e.objectName) {
                target->addSeparator();
            } else if (std::string(e.objectName) == "-") {
                target = menu;
            } else if (std::string(e.objectName) == "Remove1") {
                target = menu->addMenu(e.text);
                target->setObjectName(e.objectName);
            } else {
                QAction* a = AddAction(target, e.objectName, QString::fromUtf8(e.text),
                                       QKeySequence(QString::fromUtf8(e.shortcut)), e.handler);
                a->setCheckable(e.checkable);
            }
        }
        return menu;
    };
    fileMenu_ = build("File1", "&File", kFileMenu);
    build("Spectra1", "&Spectra", kSpectraMenu);
    build("Calculations1", "&Calculations", kCalculationsMenu);
    build("FluorescenceEEM1", "&Fluorescence/ EEM", kFluorescenceMenu);
    build("GaussFit1", "&GaussFit", kGaussMenu);
    build("Spectrometer1", "Spectro&meter", kSpectrometerMenu);
    build("PlotOptions1", "&Plot / Options", kPlotMenu);
    build("HelpInfo1", "&Help/Info", kHelpMenu);
    recentSeparator_ = fileMenu_->addSeparator();
    recentSeparator_->setVisible(false);
}

void TMainwin::CreateToolBar() {
    toolBar_ = addToolBar("Tools");
    toolBar_->setObjectName("ToolBar1");
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(34, 22));
    for (const auto& [name, glyph] : kToolButtons) {
        if (!name) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* a = Action(name);
        if (!a) continue;
        a->setIcon(GlyphIcon(QString::fromUtf8(glyph)));
        toolBar_->addAction(a);
    }
    // Menu entries show text only; the glyphs belong to the tool bar.
    for (auto& [name, a] : actions_) a->setIconVisibleInMenu(false);
}

void TMainwin::RefreshRecentMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const auto& names = recent_.Names();
    recentSeparator_->setVisible(!names.empty());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = names[i];
        auto* a = new QAction(QString("&%1 %2").arg(i).arg(QString::fromStdString(name)), this);
        a->setObjectName(QString("MRU%1").arg(i));
        connect(a, &QAction::triggered, this, [this, name] { RunCommand([&] { MRUManager1Click(name); }); });
        fileMenu_->addAction(a);
        recentActions_.push_back(a);
    }
}
