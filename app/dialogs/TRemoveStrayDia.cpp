#include "app/dialogs/TRemoveStrayDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/radio_group.h"
#include "app/dialogs/raman_solvent_combo.h"
#include "app/program_state.h"
#include "core/spikes_scatter.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/scatter_removal.h"

TRemoveStrayDia::TRemoveStrayDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("RemoveStrayDia");
    setWindowTitle("Remove scatter peaks from fluorescence");
    auto* lay = new QVBoxLayout(this);
    SpekBox = NewCombo(this, "SpekBox");
    AlleRechnen = NewCheck(this, "AlleRechnen", "treat all spectra", true);
    OrgLoeschen = NewCheck(this, "OrgLoeschen", "remove original(s)", true);
    CRayleigh1 = NewCheck(this, "CRayleigh1", "remove Rayleigh peaks (1st order)", false);
    CRayleigh2 = NewCheck(this, "CRayleigh2", "remove Rayleigh peaks (2nd order)", false);
    CRaman = NewCheck(this, "CRaman", "remove Raman peaks         solvent:", false);
    CRamanSolvent = NewCombo(this, "CRamanSolvent");
    RInterp_type = new TRadioGroup(this, "RInterp_type", "replace by",
                                   {"zeroes", "straight line", "interpolated curve"}, 2);
    ERayleigh1 = NewEdit(this, "ERayleigh1", "10");
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", SpekBox);
    lay->addLayout(form);
    lay->addWidget(AlleRechnen);
    lay->addWidget(OrgLoeschen);
    lay->addWidget(CRayleigh1);
    lay->addWidget(CRayleigh2);
    auto* raman = new QHBoxLayout;
    raman->addWidget(CRaman);
    raman->addWidget(CRamanSolvent, 1);
    lay->addLayout(raman);
    auto* width = new QHBoxLayout;
    width->addWidget(ERayleigh1);
    width->addWidget(new QLabel("nm  Bandwidth", this));
    width->addStretch(1);
    lay->addLayout(width);
    lay->addWidget(RInterp_type);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html#descatter");
    connect(AlleRechnen, &QCheckBox::clicked, this, &TRemoveStrayDia::AlleRechnenClick);
}

void TRemoveStrayDia::AlleRechnenClick() { SetGreyed(SpekBox, AlleRechnen->isChecked()); }

void TRemoveStrayDia::FormActivate() {
    const TScatterDialogSettings& s = ProgramSettings.ScatterDialogSettings;
    FillSpectrumCombo(SpekBox, 0);
    AlleRechnen->setChecked(s.AllSpectra);
    OrgLoeschen->setChecked(s.RemoveOriginal);
    CRayleigh1->setChecked(s.Rayleigh1);
    CRayleigh2->setChecked(s.Rayleigh2);
    CRaman->setChecked(s.Raman);
    RInterp_type->SetItemIndex(s.FillMode);
    ERayleigh1->setText(Q(numtext::FloatToStrF(s.BandWidth, numtext::FloatFormat::General, 4, 1)));
    AlleRechnenClick();
    bands_ = FillRamanSolventCombo(CRamanSolvent, s.Solvent, {CRaman});
}

bool TRemoveStrayDia::FormCloseOk() {
    TScatterParams p;
    std::string width = S(ERayleigh1->text());
    p.BandWidth = ReadScatterBandWidth(width);
    ERayleigh1->setText(Q(width));
    std::string solvent = ProgramSettings.ScatterDialogSettings.Solvent;
    p.RamanShift = ProgramSettings.ScatterDialogSettings.RamanShift;
    const int chosen = CRamanSolvent->currentIndex();
    if (chosen >= 0 && chosen < static_cast<int>(bands_.Bands.size())) {
        const TRamanBand& band = bands_.Bands[static_cast<std::size_t>(chosen)];
        p.RamanShift = ReadRamanBandShift(band.ShiftText);
        solvent = band.Name;
    }
    p.RemoveOriginal = OrgLoeschen->isChecked();
    p.AllSpectra = AlleRechnen->isChecked();
    p.Rayleigh1 = CRayleigh1->isChecked();
    p.Rayleigh2 = CRayleigh2->isChecked();
    p.Raman = CRaman->isChecked() && CRaman->isEnabled();
    p.FillMode = RInterp_type->ItemIndex();
    p.Spectrum = SpekBox->currentIndex();

    TScatterDialogSettings& s = ProgramSettings.ScatterDialogSettings;
    s.RemoveOriginal = p.RemoveOriginal;
    s.AllSpectra = p.AllSpectra;
    s.Rayleigh1 = p.Rayleigh1;
    s.Rayleigh2 = p.Rayleigh2;
    s.Raman = p.Raman;
    s.BandWidth = p.BandWidth;
    s.FillMode = p.FillMode;
    s.RamanShift = p.RamanShift;
    s.Solvent = solvent;
    RunScatterRemoval(SpectraList, CurrentDisplayState(), p);
    return true;
}
