#include "app/dialogs/TErregSpekDia.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/excitation_series.h"

TErregSpekDia::TErregSpekDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("ErregSpekDia");
    setWindowTitle("Calculation of Excitation Spectra");
    auto* lay = new QVBoxLayout(this);
    DetWellAnf = NewEdit(this, "DetWellAnf", "500");
    DetWellEnde = NewEdit(this, "DetWellEnde", "750");
    ErregspekSchrittweite = NewEdit(this, "ErregspekSchrittweite", "5");
    FluospekLoeschBox = NewCheck(this, "FluospekLoeschBox", "Remove Fluorescence Spectra", true);
    auto* form = new QFormLayout;
    form->addRow("detection wavelength from [nm]:", DetWellAnf);
    form->addRow("to [nm]:", DetWellEnde);
    form->addRow("step [nm]:", ErregspekSchrittweite);
    lay->addLayout(form);
    lay->addWidget(FluospekLoeschBox);
    AddButtonRow(lay, "html\\varolux_man_2d_en.html#errber");
}

void TErregSpekDia::FormActivate() {
    const TExcitationSpectraSettings& s = ProgramSettings.ExcitationSpectraSettings;
    DetWellAnf->setText(Q(numtext::IntToStr(s.DetectionFrom)));
    DetWellEnde->setText(Q(numtext::IntToStr(s.DetectionTo)));
    ErregspekSchrittweite->setText(Q(numtext::IntToStr(s.DetectionStep)));
    FluospekLoeschBox->setChecked(s.RemoveFluorescenceSpectra);
    Results.clear();
}

bool TErregSpekDia::FormCloseOk() {
    Results.clear();
    for (QLineEdit* e : {DetWellAnf, DetWellEnde, ErregspekSchrittweite})
        e->setText(Q(DotsToDecimalSeparator(S(e->text()))));
    TExcitationSpectraSettings& s = ProgramSettings.ExcitationSpectraSettings;
    TExcitationSpectraParams p;
    p.From = numtext::StrToInt(S(DetWellAnf->text()));
    p.To = numtext::StrToInt(S(DetWellEnde->text()));
    p.Step = ReadDetectionStep(S(ErregspekSchrittweite->text()), s.DetectionStep);
    s.DetectionFrom = p.From;
    s.DetectionTo = p.To;
    s.DetectionStep = p.Step;
    s.RemoveFluorescenceSpectra = FluospekLoeschBox->isChecked();
    Results = CalculateExcitationSpectra(SpectraList, CurrentDisplayState(), p);
    return true;
}
