#include "app/dialogs/TEffAbsDia.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

#include "app/program_state.h"
#include "core/peaks.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/quantum_yield.h"

TEffAbsDia::TEffAbsDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("EffAbsDia");
    setWindowTitle("Effective Absorbance");
    auto* lay = new QVBoxLayout(this);
    FAbsSpektrum = NewCombo(this, "FAbsSpektrum");
    FLMax = NewEdit(this, "FLMax", "");
    FBandBreite = NewEdit(this, "FBandBreite", "");
    auto* width = new QHBoxLayout;
    width->addWidget(FBandBreite);
    width->addWidget(new QLabel("( >= 1 nm )", this));
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", FAbsSpektrum);
    form->addRow("Center Wavelength", FLMax);
    form->addRow("Full Width at half Maximum", width);
    lay->addLayout(form);
    auto* store = new QGroupBox("store as", this);
    auto* storeLay = new QHBoxLayout(store);
    Fprob = new QRadioButton("Sample", store);
    Fprob->setObjectName("Fprob");
    Fref = new QRadioButton("Reference", store);
    Fref->setObjectName("Fref");
    storeLay->addWidget(Fprob);
    storeLay->addWidget(Fref);
    lay->addWidget(store);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#eff_ext");
}

void TEffAbsDia::FormActivate() {
    FillSpectrumCombo(FAbsSpektrum, 0);
    FLMax->setText(Q(numtext::FloatToStr(ProgramSettings.Bandpass.BandpassCentre)));
    FBandBreite->setText(Q(numtext::IntToStr(ProgramSettings.Bandpass.BandpassWidth)));
    Fprob->setChecked(true);
}

bool TEffAbsDia::FormCloseOk() {
    TEffAbsParams p;
    p.Spectrum = FAbsSpektrum->currentIndex();
    p.Centre = std::nearbyint(EditFloat(FLMax));
    p.Width = RoundedBandWidth(EditFloat(FBandBreite));
    const double result = EffectiveAbsorbance(SpectraList, CurrentDisplayState(), p, ProgramSettings.Bandpass);
    TQYSettings& qy = ProgramSettings.QYSettings;
    (Fref->isChecked() ? qy.RefAbsorbance : qy.SampleAbsorbance) = result;
    return true;
}
