#include "app/dialogs/TTransReflDia.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "app/dialogs/radio_group.h"
#include "core/units.h"
#include "tools/trans_refl.h"

TTransReflDia::TTransReflDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("TransReflDia");
    setWindowTitle("Transmission/Reflection");
    auto* lay = new QVBoxLayout(this);
    ProbSpek = NewCombo(this, "ProbSpek");
    RefSpek = NewCombo(this, "RefSpek");
    TransRef_RadioGroup1 =
        new TRadioGroup(this, "TransRef_RadioGroup1", "", {"Transmittance", "Reflectance"}, 0);
    auto* form = new QFormLayout;
    form->addRow("Sample (Intensity) Spectrum", ProbSpek);
    form->addRow("Reference / Background (Intensity) Spectrum", RefSpek);
    lay->addLayout(form);
    lay->addWidget(TransRef_RadioGroup1);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#trans");
}

void TTransReflDia::FormActivate() {
    // With one spectrum the sample's item 1 does not exist: the box shows item 0 and OK asks for two.
    FillSpectrumCombo(ProbSpek, 1);
    FillSpectrumCombo(RefSpek, 0);
}

bool TTransReflDia::FormCloseOk() {
    TTransReflParams p;
    p.Sample = ProbSpek->currentIndex();
    p.Reference = RefSpek->currentIndex();
    p.Mode = TransRef_RadioGroup1->ItemIndex();
    return RunTransRefl(SpectraList, CurrentDisplayState(), p);
}
