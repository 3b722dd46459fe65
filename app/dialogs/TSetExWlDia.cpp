#include "app/dialogs/TSetExWlDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/spectra_list.h"
#include "platform/numtext.h"
#include "tools/excitation_series.h"

TSetExWlDia::TSetExWlDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SetExWlDia");
    setWindowTitle("Assign Excitation Wavelengths");
    auto* lay = new QVBoxLayout(this);
    SpekbereichAnfang = NewCombo(this, "SpekbereichAnfang");
    SpekbereichEnde = NewCombo(this, "SpekbereichEnde");
    EExWlAnfang = NewEdit(this, "EExWlAnfang", "");
    EStepWidth = NewEdit(this, "EStepWidth", "");
    LExWlEnd = NewLabel(this, "LExWlEnd");
    CheckBox1 = NewCheck(this, "CheckBox1", "replace spectrum names", false);
    auto* form = new QFormLayout;
    form->addRow("first spectrum:", SpekbereichAnfang);
    form->addRow("last spectrum:", SpekbereichEnde);
    form->addRow("start wavelength [nm]:", EExWlAnfang);
    form->addRow("step [nm]:", EStepWidth);
    form->addRow("end wavelength [nm]:", LExWlEnd);
    lay->addLayout(form);
    lay->addWidget(CheckBox1);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html");
    connect(EExWlAnfang, &QLineEdit::textEdited, this, &TSetExWlDia::startOrStepEdited);
    connect(EStepWidth, &QLineEdit::textEdited, this, &TSetExWlDia::startOrStepEdited);
    connect(SpekbereichAnfang, &QComboBox::currentIndexChanged, this, &TSetExWlDia::firstChanged);
    connect(SpekbereichEnde, &QComboBox::currentIndexChanged, this, &TSetExWlDia::lastChanged);
}

namespace {
int32_t intOf(const QLineEdit* e) { return numtext::TryStrToInt(S(e->text())).value_or(0); }
int32_t intOf(const QLabel* l) { return numtext::TryStrToInt(S(l->text())).value_or(0); }
}  // namespace

void TSetExWlDia::FormActivate() {
    filling_ = true;
    FillSpectrumCombo(SpekbereichAnfang, 0);
    FillSpectrumCombo(SpekbereichEnde, SpectraList.Count() - 1);
    // Whole titles in the closed boxes: those of a series differ only in their excitation wavelength.
    FitComboToEntries(SpekbereichAnfang);
    FitComboToEntries(SpekbereichEnde);
    const TExWlStartTexts t = ExWlStartTexts(SpectraList);
    EExWlAnfang->setText(Q(t.Start));
    LExWlEnd->setText(Q(t.End));
    EStepWidth->setText(Q(t.Step));
    step_ = numtext::TryStrToInt(t.Step).value_or(0);
    filling_ = false;
}

void TSetExWlDia::startOrStepEdited() {
    // A lone "-" is a negative step being typed: the previous step holds until a number follows.
    if (EStepWidth->text() != "-") step_ = intOf(EStepWidth);
    const int32_t start = intOf(EExWlAnfang);
    const int32_t first = SpekbereichAnfang->currentIndex(), last = SpekbereichEnde->currentIndex();
    if (start != 0 && step_ != 0 && last >= first)
        LExWlEnd->setText(Q(numtext::IntToStr(ExWlEndOf(start, step_, first, last))));
}

void TSetExWlDia::firstChanged() {
    if (filling_) return;
    const int32_t start = intOf(EExWlAnfang);
    const int32_t first = SpekbereichAnfang->currentIndex(), last = SpekbereichEnde->currentIndex();
    if (start != 0 && step_ != 0 && last >= first)
        EExWlAnfang->setText(Q(numtext::IntToStr(ExWlStartOf(intOf(LExWlEnd), step_, first, last))));
}

void TSetExWlDia::lastChanged() {
    if (filling_) return;
    const int32_t start = intOf(EExWlAnfang);
    const int32_t first = SpekbereichAnfang->currentIndex(), last = SpekbereichEnde->currentIndex();
    if (start != 0 && step_ != 0 && last >= first)
        LExWlEnd->setText(Q(numtext::IntToStr(ExWlEndOf(start, step_, first, last))));
}

bool TSetExWlDia::FormCloseOk() {
    TExWlAssignment a;
    a.First = SpekbereichAnfang->currentIndex();
    a.Last = SpekbereichEnde->currentIndex();
    a.Start = numtext::StrToInt(S(EExWlAnfang->text()));
    a.End = numtext::StrToInt(S(LExWlEnd->text()));
    a.Step = SpectraList.Count() < 2 ? 0 : numtext::StrToInt(S(EStepWidth->text()));
    a.ReplaceNames = CheckBox1->isChecked();
    AssignExcitationWavelengths(SpectraList, a);
    return true;
}
