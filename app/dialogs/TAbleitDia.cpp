#include "app/dialogs/TAbleitDia.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "core/units.h"
#include "tools/derivative.h"

TAbleitDia::TAbleitDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("AbleitDia");
    setWindowTitle("derivative of spectrum/ spectra");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    AblOrdnung = NewCombo(this, "AblOrdnung");
    AblOrdnung->addItems({"1.", "2.", "3.", "4."});
    glaetten = NewCheck(this, "glaetten", "smooth before derivation", true);
    AlleAbleiten = NewCheck(this, "AlleAbleiten", "derive all spectra", false);
    OrgLoeschen = NewCheck(this, "OrgLoeschen", "remove original(s)", false);
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", Spekbox);
    form->addRow("order of derivation", AblOrdnung);
    lay->addLayout(form);
    AddWidgets(lay, {glaetten, AlleAbleiten, OrgLoeschen});
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#abl");
    connect(AlleAbleiten, &QCheckBox::clicked, this, &TAbleitDia::AlleAbleitenClick);
}

void TAbleitDia::AlleAbleitenClick() { SetGreyed(Spekbox, AlleAbleiten->isChecked()); }

void TAbleitDia::FormActivate() {
    FillSpectrumCombo(Spekbox, 0);
    OrgLoeschen->setChecked(ProgramSettings.DerivativeSettings.RemoveOriginal);
    AlleAbleiten->setChecked(ProgramSettings.DerivativeSettings.AllSpectra);
    glaetten->setChecked(ProgramSettings.DerivativeSettings.SmoothFirst);
    AblOrdnung->setCurrentIndex(std::clamp(ProgramSettings.DerivativeSettings.Order, 1, 4) - 1);
    AlleAbleitenClick();
}

bool TAbleitDia::FormCloseOk() {
    TDerivativeParams p;
    p.RemoveOriginal = OrgLoeschen->isChecked();
    p.AllSpectra = AlleAbleiten->isChecked();
    p.Smooth = glaetten->isChecked();
    p.Order = AblOrdnung->currentIndex() + 1;
    p.Spectrum = Spekbox->currentIndex();
    ProgramSettings.DerivativeSettings.RemoveOriginal = p.RemoveOriginal;
    ProgramSettings.DerivativeSettings.AllSpectra = p.AllSpectra;
    ProgramSettings.DerivativeSettings.SmoothFirst = p.Smooth;
    ProgramSettings.DerivativeSettings.Order = p.Order;
    RunDerivative(SpectraList, CurrentDisplayState(), p);
    return true;
}
