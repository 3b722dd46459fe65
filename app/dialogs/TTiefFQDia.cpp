#include "app/dialogs/TTiefFQDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>

#include "app/aux_curves.h"
#include "app/file_filters.h"
#include "app/program_state.h"
#include "core/file_names.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/low_temp_quantum_yield.h"

namespace {

constexpr const char* kRefractionFilter = "ASCII (*.fak)|*.fak";

QString Value(double v) { return Q(numtext::FloatToStrF(v, numtext::FloatFormat::General, 5, 3)); }

// The controls one tab shows of the temperature series, the reference values and the integral.
struct TabControls {
    QComboBox *seriesRT, *seriesLow, *sampleRT, *solvent;
    QLineEdit *refRT, *refLT, *bandWidth, *from, *to;
    QCheckBox *room, *low;
    QPushButton* load;
};

TabControls BuildTab(QTabWidget* tabs, const char* name, const QString& caption, char p, bool manual,
                     QComboBox** fluorescence, QLabel** label, QLineEdit** innerFilter) {
    auto* page = new QWidget(tabs);
    page->setObjectName(name);
    auto* form = new QFormLayout(page);
    auto n = [p](const char* rest) { return (std::string(1, p) + rest); };
    TabControls c{};
    c.seriesRT = NewCombo(page, n("AbsSpek_RT").c_str());
    c.seriesLow = NewCombo(page, n("AbsSpek_TT").c_str());
    c.sampleRT = NewCombo(page, n("AbsSpekFl_RT").c_str());
    form->addRow("RT Spectrum", c.seriesRT);
    form->addRow("Lowest Temp.:", c.seriesLow);
    form->addRow(manual ? "RT Absorption" : "RT absorption", c.sampleRT);
    if (fluorescence) {
        *fluorescence = NewCombo(page, n("FlSpek").c_str());
        form->addRow("Fluorescence Spectrum", *fluorescence);
    }
    c.refRT = NewEdit(page, n("RefWert_RT").c_str(), "");
    c.refLT = NewEdit(page, n("RefWert_TT").c_str(), "");
    form->addRow("Reference Value RT", c.refRT);
    form->addRow("Reference Value LT", c.refLT);
    c.bandWidth = NewEdit(page, n("BandBreite").c_str(), "");
    form->addRow("Excitation Bandwidth [nm]", c.bandWidth);
    c.from = NewEdit(page, n("IntStart").c_str(), "");
    c.to = NewEdit(page, n("IntEnd").c_str(), "");
    form->addRow("Integral from [nm]", c.from);
    form->addRow("Integral to [nm]", c.to);
    if (innerFilter) {
        *innerFilter = NewEdit(page, "AInnFilter", "");
        form->addRow("Inner Filter RT [cm]", *innerFilter);
    }
    auto* solventRow = new QHBoxLayout;
    c.solvent = NewCombo(page, n("LoesMittel").c_str());
    c.solvent->addItems({"EtOH ", "2-Me-THF"});
    c.load = NewButton(page, n("LoadFile").c_str(), "Load File");
    solventRow->addWidget(c.solvent, 1);
    solventRow->addWidget(c.load);
    form->addRow("Solvent", solventRow);
    auto* typeRow = new QHBoxLayout;
    c.room = NewCheck(page, n("RaumTyp").c_str(), "Room Temp.", true);
    c.low = NewCheck(page, n("TiefTyp").c_str(), "Low Temp.", false);
    typeRow->addWidget(c.room);
    typeRow->addWidget(c.low);
    typeRow->addStretch(1);
    form->addRow("", typeRow);
    if (label) {
        *label = new QLabel(page);
        (*label)->setObjectName("Label12");
        (*label)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(*label);
    }
    tabs->addTab(page, caption);
    return c;
}

}  // namespace

TTiefFQDia::TTiefFQDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("TiefFQDia");
    setWindowTitle("Low Temperature Quantum Yield");
    auto* lay = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    lay->addWidget(PageControl1);

    const TabControls m =
        BuildTab(PageControl1, "TabSheet1", "manually", 'M', true, &MFlSpek, &Label12, nullptr);
    MAbsSpek_RT = m.seriesRT;
    MAbsSpek_TT = m.seriesLow;
    MAbsSpekFl_RT = m.sampleRT;
    MRefWert_RT = m.refRT;
    MRefWert_TT = m.refLT;
    MBandBreite = m.bandWidth;
    MIntStart = m.from;
    MIntEnd = m.to;
    MLoesMittel = m.solvent;
    MRaumTyp = m.room;
    MTiefTyp = m.low;
    MLoadFile = m.load;
    const TabControls a =
        BuildTab(PageControl1, "TabSheet2", "automat.", 'A', false, nullptr, nullptr, &AInnFilter);
    AAbsSpek_RT = a.seriesRT;
    AAbsSpek_TT = a.seriesLow;
    AAbsSpekFl_RT = a.sampleRT;
    ARefWert_RT = a.refRT;
    ARefWert_TT = a.refLT;
    ABandBreite = a.bandWidth;
    AIntStart = a.from;
    AIntEnd = a.to;
    ALoesMittel = a.solvent;
    ARaumTyp = a.room;
    ATiefTyp = a.low;
    ALoadFile = a.load;

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* caption) {
        auto* b = NewButton(this, name, caption);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* start = button("Start", "Start!");
    QPushButton* save = button("Button1", "Save");
    QPushButton* clear = button("Button3", "Delete Text");
    buttons->addStretch(1);
    lay->addLayout(buttons);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabStopDistance(72);
    lay->addWidget(Memo1, 1);
    AddButtonRow(lay);  // no help button: the manual describes the window

    connect(start, &QPushButton::clicked, this, &TTiefFQDia::StartClick);
    connect(save, &QPushButton::clicked, this, &TTiefFQDia::Button1Click);
    connect(clear, &QPushButton::clicked, this, &TTiefFQDia::Button3Click);
    for (QPushButton* b : {MLoadFile, ALoadFile})
        connect(b, &QPushButton::clicked, this, &TTiefFQDia::BrechungsIndexladen);
    for (QComboBox* c : {MLoesMittel, ALoesMittel})
        connect(c, &QComboBox::currentIndexChanged, this, &TTiefFQDia::MLoesMittelChange);
    // Room and low temperature exclude each other, and both tabs show the same choice.
    connect(MRaumTyp, &QCheckBox::clicked, this, [this](bool on) { SetTemperatureType(!on); });
    connect(ARaumTyp, &QCheckBox::clicked, this, [this](bool on) { SetTemperatureType(!on); });
    connect(MTiefTyp, &QCheckBox::clicked, this, [this](bool on) { SetTemperatureType(on); });
    connect(ATiefTyp, &QCheckBox::clicked, this, [this](bool on) { SetTemperatureType(on); });
    resize(560, 640);
}

void TTiefFQDia::SetTemperatureType(bool low) {
    for (QCheckBox* c : {MRaumTyp, ARaumTyp}) c->setChecked(!low);
    for (QCheckBox* c : {MTiefTyp, ATiefTyp}) c->setChecked(low);
}

void TTiefFQDia::FormActivate() {
    const TLTQYSettings& s = ProgramSettings.LTQYSettings;
    for (QComboBox* c : {MAbsSpek_RT, AAbsSpek_RT}) FillSpectrumCombo(c, s.SeriesRTIndex);
    for (QComboBox* c : {MAbsSpek_TT, AAbsSpek_TT}) FillSpectrumCombo(c, s.SeriesLowIndex);
    for (QComboBox* c : {MAbsSpekFl_RT, AAbsSpekFl_RT}) FillSpectrumCombo(c, s.SampleRTIndex);
    FillSpectrumCombo(MFlSpek, s.FluorescenceIndex);
    for (QLineEdit* e : {MRefWert_RT, ARefWert_RT}) e->setText(Value(s.RefValueRT));
    for (QLineEdit* e : {MRefWert_TT, ARefWert_TT}) e->setText(Value(s.RefValueLT));
    for (QLineEdit* e : {MBandBreite, ABandBreite}) e->setText(Q(numtext::IntToStr(s.BandWidth)));
    for (QLineEdit* e : {MIntStart, AIntStart}) e->setText(Value(s.From));
    for (QLineEdit* e : {MIntEnd, AIntEnd}) e->setText(Value(s.To));
    AInnFilter->setText(Value(s.InnerFilterRT));
    SelectSolvent(solventIndex_);
    MLoesMittelChange(solventIndex_);
    headerIndex_ = -1;
    Memo1->clear();
    Label12->clear();
}

void TTiefFQDia::SelectSolvent(int index) {
    for (QComboBox* c : {MLoesMittel, ALoesMittel}) {
        const QSignalBlocker block(c);
        c->setCurrentIndex(index);
    }
}

void TTiefFQDia::MLoesMittelChange(int index) {
    if (index < 0) return;
    solventIndex_ = index;
    SelectSolvent(index);
    const std::string item = S(MLoesMittel->itemText(index));
    const auto user = userTables_.find(item);
    LoadSolventCurves(index, item, user == userTables_.end() ? std::string() : user->second,
                      ProgramSettings.ProgramFolder, RefractionCurve, ViscosityCurve);
}

void TTiefFQDia::BrechungsIndexladen() {
    const std::string name = OpenCurveFileDialog(this, "Load refraction index file (*.fak)",
                                                 ProgramSettings.ProgramFolder, kRefractionFilter);
    if (name.empty()) return;
    try {
        LoadAuxCurve(RefractionCurve, name);
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
        return;
    }
    // A table of one's own carries no viscosity.
    ViscosityCurve.Free();
    const std::string item = NameWithoutExtension(name);
    userTables_[item] = name;
    int index = MLoesMittel->findText(Q(item));
    if (index < 0) {
        for (QComboBox* c : {MLoesMittel, ALoesMittel}) {
            const QSignalBlocker block(c);
            c->addItem(Q(item));
        }
        index = MLoesMittel->count() - 1;
    }
    solventIndex_ = index;
    SelectSolvent(index);
}

TLTQYSettings TTiefFQDia::ReadTab(bool automatic) {
    TLTQYSettings s = ProgramSettings.LTQYSettings;
    s.SeriesRTIndex = (automatic ? AAbsSpek_RT : MAbsSpek_RT)->currentIndex();
    s.SeriesLowIndex = (automatic ? AAbsSpek_TT : MAbsSpek_TT)->currentIndex();
    s.SampleRTIndex = (automatic ? AAbsSpekFl_RT : MAbsSpekFl_RT)->currentIndex();
    if (!automatic) s.FluorescenceIndex = MFlSpek->currentIndex();
    s.BandWidth = DialogInt(S((automatic ? ABandBreite : MBandBreite)->text()));
    s.From = EditFloat(automatic ? AIntStart : MIntStart);
    s.To = EditFloat(automatic ? AIntEnd : MIntEnd);
    s.RefValueRT = EditFloat(automatic ? ARefWert_RT : MRefWert_RT);
    s.RefValueLT = EditFloat(automatic ? ARefWert_TT : MRefWert_TT);
    return s;
}

void TTiefFQDia::StartClick() {
    try {
        TLTQYSwitches sw;
        sw.Automatic = PageControl1->currentIndex() == 1;
        sw.LowTemp = MTiefTyp->isChecked();
        TLTQYSettings p = ReadTab(sw.Automatic);
        p.InnerFilterRT = EditFloat(AInnFilter);
        const TSolventCurves curves{RefractionCurve.Record.get(), ViscosityCurve.Record.get()};
        const TLTQYRun run = RunLowTempQY(SpectraList, CurrentDisplayState(), p, sw, curves,
                                          Memo1->document()->isEmpty(), headerIndex_, ProgramSettings.Bandpass);
        for (const std::string& line : run.Lines) Memo1->appendPlainText(Q(line));
        if (!sw.Automatic && !run.Label.empty()) Label12->setText(Q(run.Label).replace("\r\n", "\n"));
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
    }
}

void TTiefFQDia::Button1Click() {
    // The question comes once the extension is in place.
    const std::string name = ChooseFile(this, {.Mode = TFileDialogSpec::TMode::Save,
                                               .ObjectName = "",
                                               .Title = {},
                                               .Start = Q(ProgramSettings.OpenFolder),
                                               .Filters = QtNameFilters("Text (*.txt)|*.txt")});
    if (name.empty()) {
        ui::messageBox("Saving interrupted!");
        return;
    }
    if (!ConfirmReplaceFile(ChangeFileExt(name, ".txt"))) return;
    std::vector<std::string> lines;
    if (!Memo1->document()->isEmpty())
        for (const QString& line : Memo1->toPlainText().split('\n')) lines.push_back(S(line));
    try {
        SaveLowTempQYTable(name, lines);
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
    }
}

void TTiefFQDia::Button3Click() {
    Memo1->clear();
    headerIndex_ = -1;
}

bool TTiefFQDia::FormCloseOk() {
    const bool automatic = PageControl1->currentIndex() == 1;
    ProgramSettings.LTQYSettings = ReadTab(automatic);
    solventIndex_ = (automatic ? ALoesMittel : MLoesMittel)->currentIndex();
    return true;
}
