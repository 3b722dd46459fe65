#include "app/dialogs/TFQDial.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/aux_curves.h"
#include "app/program_state.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/dialog_support.h"
#include "tools/quantum_yield.h"

namespace {

using numtext::FloatFormat;

QString Value(double v) { return Q(numtext::FloatToStrF(v, FloatFormat::General, 5, 3)); }
QString Index(double v) { return Q(numtext::FloatToStrF(v, FloatFormat::General, 6, 4)); }

// A sheet laid out as rows of caption, sample control and reference control.
class Sheet {
public:
    Sheet(QTabWidget* tabs, const char* name, const QString& caption) : page_(new QWidget(tabs)) {
        page_->setObjectName(name);
        grid_ = new QGridLayout(page_);
        grid_->addWidget(new QLabel("<b>Sample</b>", page_), 0, 1);
        grid_->addWidget(new QLabel("<b>Reference</b>", page_), 0, 2);
        tabs->addTab(page_, caption);
    }
    QWidget* page() const { return page_; }
    void row(const QString& caption, QWidget* sample, QWidget* reference) {
        grid_->addWidget(new QLabel(caption, page_), row_, 0);
        if (sample) grid_->addWidget(sample, row_, 1);
        if (reference) grid_->addWidget(reference, row_, 2);
        ++row_;
    }
    QComboBox* combo(const char* name) {
        auto* c = NewCombo(page_, name);
        c->setMinimumContentsLength(18);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        return c;
    }
    QLineEdit* edit(const char* name) { return NewEdit(page_, name, ""); }
    // A row of two edits, the sample's and the reference's, made in that order.
    void edits(const QString& caption, QLineEdit*& sample, const char* sampleName, QLineEdit*& reference,
               const char* referenceName) {
        sample = edit(sampleName);
        reference = edit(referenceName);
        row(caption, sample, reference);
    }
    // "Excitation Bandwidth" and the lamp curve's "loaded" box with its "load " button.
    void lampRow(QLineEdit* bandWidth, QCheckBox*& loaded, QPushButton*& load, const char* loadedName,
                 const char* loadName) {
        row("Excitation Bandwidth [nm]", bandWidth, nullptr);
        auto* box = new QWidget(page_);
        auto* lay = new QHBoxLayout(box);
        lay->setContentsMargins(0, 0, 0, 0);
        loaded = NewCheck(box, loadedName, "loaded", false);
        // The box shows whether a lamp curve is there; only loading changes that.
        loaded->setAttribute(Qt::WA_TransparentForMouseEvents);
        loaded->setFocusPolicy(Qt::NoFocus);
        load = NewButton(box, loadName, "load ");
        lay->addWidget(loaded);
        lay->addWidget(load);
        lay->addStretch(1);
        row("Lamp Spectrum", box, nullptr);
    }

private:
    QWidget* page_;
    QGridLayout* grid_;
    int row_ = 1;
};

int32_t ComboIndex(QComboBox* c) { return c->currentIndex(); }

}  // namespace

TFQDial::TFQDial(QWidget* parent) : TToolDialog(parent) {
    setObjectName("FQDial");
    setWindowTitle("Calculation of Fluorescence Quantum Yield");
    auto* lay = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    lay->addWidget(PageControl1);

    Sheet n(PageControl1, "TabSheet1", "normal");
    EProbeFlSpek = n.combo("EProbeFlSpek");
    ERefFlSpek = n.combo("ERefFlSpek");
    n.row("Fluorescence Spectrum", EProbeFlSpek, ERefFlSpek);
    n.edits("Absorbance", EProbeEX, "EProbeEX", ERefEx, "ERefEx");
    n.edits("Slit Factor", EProbeSp, "EProbeSp", ERefSp, "ERefSp");
    n.edits("Excitation Power", EProbeEr, "EProbeEr", ERefEr, "ERefEr");
    n.edits("Integral from [nm]", EvProbeInt, "EvProbeInt", EvRefInt, "EvRefInt");
    n.edits("Integral to [nm]", EbProbeInt, "EbProbeInt", EbRefInt, "EbRefInt");
    n.edits("Refraction Index", EProbeN, "EProbeN", ERefN, "ERefN");
    ERefFQ = n.edit("ERefFQ");
    n.row("QY of Reference [%]", nullptr, ERefFQ);
    EInFi = n.edit("EInFi");
    n.row("Inner Filter [cm]", EInFi, nullptr);
    EMessL = n.edit("EMessL");
    n.row("Det. Path Length [cm]", EMessL, nullptr);

    Sheet a(PageControl1, "TabSheet2", "special");
    AProbeAbsSpek = a.combo("AProbeAbsSpek");
    ARefAbsSpek = a.combo("ARefAbsSpek");
    a.row("Absorption Spectrum", AProbeAbsSpek, ARefAbsSpek);
    AProbeFlSpek = a.combo("AProbeFlSpek");
    ARefFlSpek = a.combo("ARefFlSpek");
    a.row("Fluorescence Spectrum", AProbeFlSpek, ARefFlSpek);
    a.edits("Exc. Wavelength [nm]", AProbeAnrWell, "AProbeAnrWell", ARefAnrWell, "ARefAnrWell");
    a.edits("Exposure Time [s]", AProbeBelZeit, "AProbeBelZeit", ARefBelZeit, "ARefBelZeit");
    a.edits("Integral from [nm]", AvProbeInt, "AvProbeInt", AvRefInt, "AvRefInt");
    a.edits("Integral to [nm]", AbProbeInt, "AbProbeInt", AbRefInt, "AbRefInt");
    a.edits("Refraction Index", AProbeN, "AProbeN", ARefN, "ARefN");
    ARefFQ = a.edit("ARefFQ");
    a.row("QY of Reference [%]", nullptr, ARefFQ);
    ABandBreite = a.edit("ABandBreite");
    a.lampRow(ABandBreite, LampSpekCheckBox, LoadButton, "LampSpekCheckBox", "LoadButton");

    Sheet o(PageControl1, "TabSheet3", "1D-QY");
    OProbeAbsSpek = o.combo("OProbeAbsSpek");
    ORefAbsspek = o.combo("ORefAbsspek");
    o.row("Absorption Spectrum", OProbeAbsSpek, ORefAbsspek);
    OProbeFlSpekAnf = o.combo("OProbeFlSpekAnf");
    ORefFlSpek = o.combo("ORefFlSpek");
    o.row("Fluorescence from", OProbeFlSpekAnf, nullptr);
    OProbeFlSpekEnd = o.combo("OProbeFlSpekEnd");
    o.row("to", OProbeFlSpekEnd, nullptr);
    o.row("Fluorescence Spectrum", nullptr, ORefFlSpek);
    ORefAnrWell = o.edit("ORefAnrWell");
    o.row("Exc. Wavelength [nm]", nullptr, ORefAnrWell);
    o.edits("Exposure Time [s]", OProbeBelZeit, "OProbeBelZeit", ORefBelZeit, "ORefBelZeit");
    o.edits("Integral from [nm]", OvProbeInt, "OvProbeInt", OvRefInt, "OvRefInt");
    o.edits("Integral to [nm]", ObProbeInt, "ObProbeInt", ObRefInt, "ObRefInt");
    o.edits("Refraction Index", OProbeN, "OProbeN", ORefN, "ORefN");
    OREfFQ = o.edit("OREfFQ");
    o.row("QY of Reference [%]", nullptr, OREfFQ);
    OBandBreite = o.edit("OBandBreite");
    o.lampRow(OBandBreite, LampSpekCheckBox2, LoadButton2, "LampSpekCheckBox2", "LoadButton2");

    AddButtonRow(lay);  // no help button: the manual describes the window
    connect(LoadButton, &QPushButton::clicked, this, &TFQDial::LampSpekLaden);
    connect(LoadButton2, &QPushButton::clicked, this, &TFQDial::LampSpekLaden);
    ShowLampFlag();
}

void TFQDial::ShowLampFlag() {
    LampSpekCheckBox->setChecked(LampCurve.Loaded());
    LampSpekCheckBox2->setChecked(LampCurve.Loaded());
}

void TFQDial::LampSpekLaden() {
    ::LampSpekLaden(this);
    ShowLampFlag();
}

void TFQDial::FormActivate() {
    const TQYSettings& q = ProgramSettings.QYSettings;
    for (QComboBox* c : {ARefAbsSpek, ORefAbsspek}) FillSpectrumCombo(c, q.RefAbsIndex);
    for (QComboBox* c : {AProbeAbsSpek, OProbeAbsSpek}) FillSpectrumCombo(c, q.SampleAbsIndex);
    for (QComboBox* c : {ERefFlSpek, ARefFlSpek, ORefFlSpek}) FillSpectrumCombo(c, q.RefFlIndex);
    for (QComboBox* c : {EProbeFlSpek, AProbeFlSpek, OProbeFlSpekAnf}) FillSpectrumCombo(c, q.SampleFlIndex);
    FillSpectrumCombo(OProbeFlSpekEnd, q.SampleFlIndex + q.SeriesLength - 1);

    EProbeEX->setText(Value(q.SampleAbsorbance));
    ERefEx->setText(Value(q.RefAbsorbance));
    EProbeSp->setText(Value(q.SampleSlit));
    ERefSp->setText(Value(q.RefSlit));
    EProbeEr->setText(Value(q.SamplePower));
    ERefEr->setText(Value(q.RefPower));
    EInFi->setText(Value(q.InnerFilter));
    EMessL->setText(Value(q.DetectionPath));
    for (QLineEdit* e : {EvProbeInt, AvProbeInt, OvProbeInt}) e->setText(Value(q.SampleFrom));
    for (QLineEdit* e : {EbProbeInt, AbProbeInt, ObProbeInt}) e->setText(Value(q.SampleTo));
    for (QLineEdit* e : {EvRefInt, AvRefInt, OvRefInt}) e->setText(Value(q.RefFrom));
    for (QLineEdit* e : {EbRefInt, AbRefInt, ObRefInt}) e->setText(Value(q.RefTo));
    for (QLineEdit* e : {EProbeN, AProbeN, OProbeN}) e->setText(Index(q.SampleN));
    for (QLineEdit* e : {ERefN, ARefN, ORefN}) e->setText(Index(q.RefN));
    for (QLineEdit* e : {ERefFQ, ARefFQ, OREfFQ}) e->setText(Value(q.RefYield * 100.0));
    AProbeAnrWell->setText(Value(q.SampleExcitation));
    for (QLineEdit* e : {ARefAnrWell, ORefAnrWell}) e->setText(Value(q.RefExcitation));
    for (QLineEdit* e : {AProbeBelZeit, OProbeBelZeit}) e->setText(Value(q.SampleExposure));
    for (QLineEdit* e : {ARefBelZeit, ORefBelZeit}) e->setText(Value(q.RefExposure));
    for (QLineEdit* e : {ABandBreite, OBandBreite}) e->setText(Q(numtext::IntToStr(q.BandWidth)));
    ShowLampFlag();
    YieldComputed = false;
    Result1D.reset();
}

bool TFQDial::FormCloseOk() {
    YieldComputed = false;
    Result1D.reset();
    switch (PageControl1->currentIndex()) {
    case 0: return CloseNormal();
    case 1: return CloseSpecial();
    default: return Close1D();
    }
}

// Each sheet reads its controls into a copy of the settings first: a text that is no number, or a
// refusal, leaves the settings as they were and the dialog open.
void TFQDial::ReadShared(TQYSettings& p, int sheet) {
    struct Edits {
        QLineEdit *sampleFrom, *sampleTo, *refFrom, *refTo, *sampleN, *refN, *refYield;
    };
    const Edits sheets[] = {
        {EvProbeInt, EbProbeInt, EvRefInt, EbRefInt, EProbeN, ERefN, ERefFQ},
        {AvProbeInt, AbProbeInt, AvRefInt, AbRefInt, AProbeN, ARefN, ARefFQ},
        {OvProbeInt, ObProbeInt, OvRefInt, ObRefInt, OProbeN, ORefN, OREfFQ},
    };
    const Edits& e = sheets[sheet];
    p.SampleFrom = EditFloat(e.sampleFrom);
    p.SampleTo = EditFloat(e.sampleTo);
    p.RefFrom = EditFloat(e.refFrom);
    p.RefTo = EditFloat(e.refTo);
    p.SampleN = EditFloat(e.sampleN);
    p.RefN = EditFloat(e.refN);
    p.RefYield = EditFloat(e.refYield) / 100.0;
    // The inner filter and path length stand on the first sheet and serve all three.
    p.InnerFilter = EditFloat(EInFi);
    p.DetectionPath = EditFloat(EMessL);
    if (sheet == 0) return;
    p.BandWidth = DialogInt(S((sheet == 1 ? ABandBreite : OBandBreite)->text()));
    p.SampleExposure = EditFloat(sheet == 1 ? AProbeBelZeit : OProbeBelZeit);
    p.RefExposure = EditFloat(sheet == 1 ? ARefBelZeit : ORefBelZeit);
}

void TFQDial::StoreYield(TQYSettings& p, const TQYOutcome& o) {
    p.SampleValue = o.SampleValue;
    p.RefValue = o.RefValue;
    p.QuantumYield = o.Yield;
    ProgramSettings.QYSettings = p;
    YieldComputed = true;
}

bool TFQDial::CloseNormal() {
    TQYSettings p = ProgramSettings.QYSettings;
    p.SampleFlIndex = ComboIndex(EProbeFlSpek);
    p.RefFlIndex = ComboIndex(ERefFlSpek);
    p.SampleAbsorbance = EditFloat(EProbeEX);
    p.RefAbsorbance = EditFloat(ERefEx);
    p.SampleSlit = EditFloat(EProbeSp);
    p.RefSlit = EditFloat(ERefSp);
    p.SamplePower = EditFloat(EProbeEr);
    p.RefPower = EditFloat(ERefEr);
    ReadShared(p, 0);
    const TQYOutcome o = QuantumYieldNormal(SpectraList, CurrentDisplayState(), p);
    if (!o.Computed) return false;
    StoreYield(p, o);
    return true;
}

bool TFQDial::CloseSpecial() {
    TQYSettings p = ProgramSettings.QYSettings;
    p.SampleAbsIndex = ComboIndex(AProbeAbsSpek);
    p.RefAbsIndex = ComboIndex(ARefAbsSpek);
    p.SampleFlIndex = ComboIndex(AProbeFlSpek);
    p.RefFlIndex = ComboIndex(ARefFlSpek);
    p.SampleExcitation = DialogInt(S(AProbeAnrWell->text()));
    p.RefExcitation = DialogInt(S(ARefAnrWell->text()));
    ReadShared(p, 1);
    const TQYOutcome o = QuantumYieldSpecial(SpectraList, CurrentDisplayState(), p, LampCurve.Record.get(),
                                             ProgramSettings.Bandpass);
    if (!o.Computed) return false;
    p.SampleAbsorbance = o.SampleAbsorbance;
    p.RefAbsorbance = o.RefAbsorbance;
    p.SamplePower = o.SamplePower;
    p.RefPower = o.RefPower;
    StoreYield(p, o);
    return true;
}

bool TFQDial::Close1D() {
    TQYSettings p = ProgramSettings.QYSettings;
    TQY1DParams s;
    s.First = ComboIndex(OProbeFlSpekAnf);
    s.Last = ComboIndex(OProbeFlSpekEnd);
    s.RefExcitationText = S(ORefAnrWell->text());
    p.SampleAbsIndex = ComboIndex(OProbeAbsSpek);
    p.RefAbsIndex = ComboIndex(ORefAbsspek);
    p.RefFlIndex = ComboIndex(ORefFlSpek);
    p.RefExcitation = DialogInt(s.RefExcitationText);
    ReadShared(p, 2);
    TQY1DResult r = QuantumYield1D(SpectraList, CurrentDisplayState(), p, LampCurve.Record.get(), s,
                                    ProgramSettings.Bandpass);
    if (!r.Spectrum) return false;
    p.SampleFlIndex = s.First;
    p.SeriesLength = s.Last - s.First + 1;
    p.RefAbsorbance = r.Reference.RefAbsorbance;
    p.RefPower = r.Reference.RefPower;
    p.RefValue = r.Reference.RefValue;
    ProgramSettings.QYSettings = p;
    Result1D = std::move(r.Spectrum);
    return true;
}
