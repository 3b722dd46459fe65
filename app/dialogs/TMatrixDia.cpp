#include "app/dialogs/TMatrixDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/aux_curves.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/excitation_series.h"

TMatrixDia::TMatrixDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("MatrixDia");
    setWindowTitle("Excitation Emission Matrix Calculation");
    auto* lay = new QVBoxLayout(this);
    SpekbereichAnfang = NewCombo(this, "SpekbereichAnfang");
    SpekbereichEnde = NewCombo(this, "SpekbereichEnde");
    auto* form = new QFormLayout;
    form->addRow("first spectrum:", SpekbereichAnfang);
    form->addRow("last spectrum:", SpekbereichEnde);
    lay->addLayout(form);
    auto* lamp = new QHBoxLayout;
    LampSpekLaden = NewButton(this, "LampSpekLaden", "Load Lamp Spectrum");
    LampSpekCheckBox = NewCheck(this, "LampSpekCheckBox", "loaded", false);
    // It shows the lamp's state; the load button changes it.
    LampSpekCheckBox->setEnabled(false);
    lamp->addWidget(LampSpekLaden);
    lamp->addWidget(LampSpekCheckBox);
    lamp->addStretch(1);
    lay->addLayout(lamp);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html#errkorr");
    connect(LampSpekLaden, &QPushButton::clicked, this, &TMatrixDia::LampSpekLadenClick);
}

void TMatrixDia::LampSpekLadenClick() { LampSpekCheckBox->setChecked(::LampSpekLaden(this)); }

void TMatrixDia::FormActivate() {
    FillSpectrumCombo(SpekbereichAnfang, 0);
    FillSpectrumCombo(SpekbereichEnde, SpectraList.Count() - 1);
    // Whole titles in the closed boxes: those of a series differ only in their excitation wavelength.
    FitComboToEntries(SpekbereichAnfang);
    FitComboToEntries(SpekbereichEnde);
    LampSpekCheckBox->setChecked(LampCurve.Loaded());
    Results.clear();
}

bool TMatrixDia::FormCloseOk() {
    Results = CorrectExcitationIntensity(SpectraList, CurrentDisplayState(), LampCurve.Record.get(),
                                         SpekbereichAnfang->currentIndex(), SpekbereichEnde->currentIndex());
    return true;
}
