#include "app/dialogs/TSimpleXDia.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/units.h"
#include "tools/simple_x.h"

TSimpleXDia::TSimpleXDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SimpleXDia");
    setWindowTitle("Constant Arithmetics X-Axis");
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Spekbox = NewCombo(this, "Spekbox");
    OpBox = NewCombo(this, "OpBox");
    for (const char* op : kSimpleXOps) OpBox->addItem(op);
    EKonst = NewEdit(this, "EKonst", "0");
    form->addRow("Spectrum:", Spekbox);
    form->addRow("Operation:", OpBox);
    form->addRow("Constant:", EKonst);
    lay->addLayout(form);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#x_konst");
}

void TSimpleXDia::FormActivate() { FillSpectrumCombo(Spekbox, 0); }

bool TSimpleXDia::FormCloseOk() {
    TSimpleXParams p;
    p.Spectrum = Spekbox->currentIndex();
    p.Operation = OpBox->currentIndex();
    p.Constant = S(EKonst->text());
    const TEditWriteBack back(EKonst, p.Constant);
    ApplyXConstant(SpectraList, CurrentDisplayState(), p);
    return true;
}
