#include "app/dialogs/TSimpleDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/radio_group.h"
#include "app/program_state.h"
#include "core/units.h"
#include "tools/simple_y.h"

TSimpleDia::TSimpleDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SimpleDia");
    setWindowTitle("Constant Arithmetics Y-Axis");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    Rechenart = new TRadioGroup(this, "Rechenart", "Calculation Type",
                                {"+", "-", QString::fromUtf8("×"), QString::fromUtf8("÷")}, 2);
    EKonst = NewEdit(this, "EKonst", "1");
    konst_zusatz = NewCheck(this, "konst_zusatz", "add operation and constant to the legend title", true);
    orig_loesch = NewCheck(this, "orig_loesch", "remove original(s)", false);
    CheckBox1 = NewCheck(this, "CheckBox1", "all spectra of one type", false);
    ComboBox1 = NewCombo(this, "ComboBox1");
    for (const auto& t : SimpleTypeTags()) ComboBox1->addItem(Q(t));
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", Spekbox);
    form->addRow("Constant:", EKonst);
    lay->addLayout(form);
    lay->addWidget(Rechenart);
    AddWidgets(lay, {konst_zusatz, orig_loesch, CheckBox1, ComboBox1});
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#y_konst");
    connect(CheckBox1, &QCheckBox::clicked, this, &TSimpleDia::CheckBox1Click);
}

void TSimpleDia::CheckBox1Click() {
    SetTypeChoice({Spekbox}, ComboBox1, CheckBox1->isChecked());
}

void TSimpleDia::FormActivate() {
    FillSpectrumCombo(Spekbox, 0);
    Rechenart->SetItemIndex(ProgramSettings.YConstSettings.Operation);
    EKonst->setText(Q(ProgramSettings.YConstSettings.Constant));
    orig_loesch->setChecked(ProgramSettings.YConstSettings.RemoveOriginal);
    konst_zusatz->setChecked(ProgramSettings.YConstSettings.AppendToTitle);
    CheckBox1Click();
}

bool TSimpleDia::FormCloseOk() {
    TSimpleParams p;
    p.Operation = Rechenart->ItemIndex();
    p.Constant = S(EKonst->text());  // a term in x or y goes to the routine as typed
    p.RemoveOriginal = orig_loesch->isChecked();
    p.AppendToTitle = konst_zusatz->isChecked();
    p.Spectrum = Spekbox->currentIndex();
    p.ByType = CheckBox1->isChecked();
    p.Tag = S(ComboBox1->currentText());
    ApplyYConstant(SpectraList, CurrentDisplayState(), p);
    ProgramSettings.YConstSettings.Operation = p.Operation;
    ProgramSettings.YConstSettings.Constant = p.Constant;
    ProgramSettings.YConstSettings.RemoveOriginal = p.RemoveOriginal;
    ProgramSettings.YConstSettings.AppendToTitle = p.AppendToTitle;
    return true;
}
