#include "app/dialogs/TPolGradDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/polarisation.h"

TPolGradDia::TPolGradDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("PolGradDia");
    setWindowTitle("Calculation of Polarization/ reduced Spectrum");
    auto* lay = new QVBoxLayout(this);
    ParSpek = NewCombo(this, "ParSpek");
    SenkSpek = NewCombo(this, "SenkSpek");
    auto* form = new QFormLayout;
    form->addRow("Parallel Polarized Spectrum (y): ", ParSpek);
    form->addRow("Perpendicular Polarized Spectrum (x): ", SenkSpek);
    lay->addLayout(form);
    wGesamtspektrum = new QRadioButton("Reduced Spectrum", this);
    wGesamtspektrum->setObjectName("wGesamtspektrum");
    wPolarisationsgrad = new QRadioButton("Degree of Polarization", this);
    wPolarisationsgrad->setObjectName("wPolarisationsgrad");
    lay->addWidget(wGesamtspektrum);
    lay->addWidget(wPolarisationsgrad);
    CheckBox1 = NewCheck(this, "CheckBox1", "all", false);
    lay->addWidget(CheckBox1);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#pol");
    connect(CheckBox1, &QCheckBox::clicked, this, &TPolGradDia::CheckBox1Click);
}

void TPolGradDia::CheckBox1Click() {
    SetGreyed(ParSpek, CheckBox1->isChecked());
    SetGreyed(SenkSpek, CheckBox1->isChecked());
}

void TPolGradDia::FormActivate() {
    FillSpectrumCombo(ParSpek, 0);
    FillSpectrumCombo(SenkSpek, 0);
    wGesamtspektrum->setChecked(true);
    CheckBox1Click();
}

bool TPolGradDia::FormCloseOk() {
    RunPolarisation(SpectraList, CurrentDisplayState(),
                    {ParSpek->currentIndex(), SenkSpek->currentIndex(), wGesamtspektrum->isChecked(),
                     CheckBox1->isChecked()});
    return true;
}
