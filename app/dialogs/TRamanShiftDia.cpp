#include "app/dialogs/TRamanShiftDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/raman_shift.h"

TRamanShiftDia::TRamanShiftDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("RamanShiftDia");
    setWindowTitle("create Raman spectrum...");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    ELaserWL = NewEdit(this, "ELaserWL", "785");
    ECutOff = NewEdit(this, "ECutOff", "150");
    AlleRechnen = NewCheck(this, "AlleRechnen", "transform all spectra", true);
    OrgLoeschen = NewCheck(this, "OrgLoeschen", "remove original(s)", true);
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", Spekbox);
    form->addRow("laser wavelength : [nm]", ELaserWL);
    form->addRow("begin Raman spectrum at: [cm^-1]", ECutOff);
    lay->addLayout(form);
    lay->addWidget(AlleRechnen);
    lay->addWidget(OrgLoeschen);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#raman");
    connect(AlleRechnen, &QCheckBox::clicked, this, &TRamanShiftDia::AlleRechnenClick);
}

void TRamanShiftDia::AlleRechnenClick() { SetGreyed(Spekbox, AlleRechnen->isChecked()); }

void TRamanShiftDia::FormActivate() {
    FillSpectrumCombo(Spekbox, 0);
    OrgLoeschen->setChecked(ProgramSettings.RamanShiftSettings.RemoveOriginal);
    AlleRechnen->setChecked(ProgramSettings.RamanShiftSettings.AllSpectra);
    ECutOff->setText(Q(numtext::IntToStr(ProgramSettings.RamanShiftSettings.CutOff)));
    ELaserWL->setText(Q(numtext::FloatToStr(ProgramSettings.RamanShiftSettings.LaserWavelength)));
    AlleRechnenClick();
}

bool TRamanShiftDia::FormCloseOk() {
    TRamanParams p;
    std::string laser = S(ELaserWL->text());
    const TEditWriteBack back(ELaserWL, laser);
    ReadRamanInputs(p, S(ECutOff->text()), laser);
    p.RemoveOriginal = OrgLoeschen->isChecked();
    p.AllSpectra = AlleRechnen->isChecked();
    p.Spectrum = Spekbox->currentIndex();
    ProgramSettings.RamanShiftSettings.RemoveOriginal = p.RemoveOriginal;
    ProgramSettings.RamanShiftSettings.AllSpectra = p.AllSpectra;
    ProgramSettings.RamanShiftSettings.CutOff = p.CutOff;
    ProgramSettings.RamanShiftSettings.LaserWavelength = p.LaserNm;
    RunRamanShift(SpectraList, CurrentDisplayState(), p);
    return true;
}
