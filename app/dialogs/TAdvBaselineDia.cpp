#include "app/dialogs/TAdvBaselineDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialogs/radio_group.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/units.h"

namespace {

// A slider with its value shown beside it, as a row of a tab's form.
QSlider* SliderRow(QWidget* page, QFormLayout* form, const char* name, const char* caption, int lo, int hi) {
    QSlider* s = AddSliderRow(page, form, name, caption, lo, hi, 32);
    s->setPageStep(10);
    return s;
}

}  // namespace

TAdvBaselineDia::TAdvBaselineDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("AdvBaselineDia");
    setWindowTitle("Baselining options");
    auto* lay = new QVBoxLayout(this);
    SpekBox = AddSpectrumRow(this, lay, "SpekBox");

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    auto page = [&](const char* name, const char* caption) {
        auto* w = new QWidget(PageControl1);
        w->setObjectName(name);
        PageControl1->addTab(w, caption);
        return new QFormLayout(w);
    };
    QFormLayout* linear = page("TabSheetLinear", "linear");
    RxSliderLinearSlope = SliderRow(linear->parentWidget(), linear, "RxSliderLinearSlope", "slope", -100, 100);
    RxSliderLinearOffset = SliderRow(linear->parentWidget(), linear, "RxSliderLinearOffset", "offset", -100, 100);
    QFormLayout* adaptive = page("TabSheetAdaptive", "adaptive");
    RxSliderAdaptiveCoarseness =
        SliderRow(adaptive->parentWidget(), adaptive, "RxSliderAdaptiveCoarseness", "coarseness", 0, 100);
    RxSliderAdaptiveOffset =
        SliderRow(adaptive->parentWidget(), adaptive, "RxSliderAdaptiveOffset", "offset", -100, 100);
    QFormLayout* scattering = page("TabSheetScattering", "scattering solution");
    RxSliderScatteringOffset =
        SliderRow(scattering->parentWidget(), scattering, "RxSliderScatteringOffset", "offset", -100, 100);
    RxSliderScatteringSpread =
        SliderRow(scattering->parentWidget(), scattering, "RxSliderScatteringSpread", "spread", -100, 100);
    RadioGroupScatteringPower =
        new TRadioGroup(scattering->parentWidget(), "RadioGroupScatteringPower", "Power", {"2", "3", "4"}, 0);
    scattering->addRow(RadioGroupScatteringPower);
    lay->addWidget(PageControl1);

    OrgLoeschen = NewCheck(this, "OrgLoeschen", "remove original(s)", false);
    AlleSpektren = NewCheck(this, "AlleSpektren", "all spectra", false);
    LegendeBleibt = NewCheck(this, "LegendeBleibt", "keep legend", true);
    BaselineSpektrum = NewCheck(this, "BaselineSpektrum", "create baseline spectrum", false);
    for (QCheckBox* c : {OrgLoeschen, AlleSpektren, LegendeBleibt, BaselineSpektrum}) lay->addWidget(c);
    AddButtonRow(lay, "html\\varolux_man_spek_en.html##adv_smooth");

    auto show = [this] {
        if (!filling_) ShowBaseline();
    };
    connect(SpekBox, &QComboBox::currentIndexChanged, this, show);
    connect(PageControl1, &QTabWidget::currentChanged, this, show);
    for (QSlider* s : {RxSliderLinearSlope, RxSliderLinearOffset, RxSliderAdaptiveCoarseness, RxSliderAdaptiveOffset,
                       RxSliderScatteringOffset, RxSliderScatteringSpread})
        connect(s, &QSlider::valueChanged, this, show);
    connect(RadioGroupScatteringPower, &TRadioGroup::ItemIndexChanged, this, show);
    connect(AlleSpektren, &QCheckBox::clicked, this, &TAdvBaselineDia::AlleSpektrenClick);
    resize(460, 420);
}

TAdvBaselineParams TAdvBaselineDia::Params() const {
    TAdvBaselineParams p;
    TAdvBaselineSettings& s = p.Settings;
    s.RemoveOriginal = OrgLoeschen->isChecked();
    s.AllSpectra = AlleSpektren->isChecked();
    s.KeepLegend = LegendeBleibt->isChecked();
    s.CreateBaselineSpectrum = BaselineSpektrum->isChecked();
    s.Method = std::max(PageControl1->currentIndex(), 0);
    s.LinearSlope = RxSliderLinearSlope->value();
    s.LinearOffset = RxSliderLinearOffset->value();
    s.AdaptiveCoarseness = RxSliderAdaptiveCoarseness->value();
    s.AdaptiveOffset = RxSliderAdaptiveOffset->value();
    s.ScatteringOffset = RxSliderScatteringOffset->value();
    s.ScatteringSpread = RxSliderScatteringSpread->value();
    s.ScatteringPower = std::max(RadioGroupScatteringPower->ItemIndex(), 0) + 2;
    p.Spectrum = SpekBox->currentIndex();
    return p;
}

void TAdvBaselineDia::FormActivate() {
    filling_ = true;
    const TAdvBaselineSettings& s = ProgramSettings.AdvBaselineSettings;
    FillSpectrumCombo(SpekBox, 0);
    OrgLoeschen->setChecked(s.RemoveOriginal);
    AlleSpektren->setChecked(s.AllSpectra);
    LegendeBleibt->setChecked(s.KeepLegend);
    BaselineSpektrum->setChecked(s.CreateBaselineSpectrum);
    RxSliderLinearSlope->setValue(s.LinearSlope);
    RxSliderLinearOffset->setValue(s.LinearOffset);
    RxSliderAdaptiveCoarseness->setValue(s.AdaptiveCoarseness);
    RxSliderAdaptiveOffset->setValue(s.AdaptiveOffset);
    RxSliderScatteringOffset->setValue(s.ScatteringOffset);
    RxSliderScatteringSpread->setValue(s.ScatteringSpread);
    RadioGroupScatteringPower->SetItemIndex(std::clamp(s.ScatteringPower, 2, 4) - 2);
    PageControl1->setCurrentIndex(std::clamp(s.Method, 0, 2));
    AlleSpektrenClick();
    filling_ = false;
    ShowBaseline();
}

void TAdvBaselineDia::AlleSpektrenClick() { SetGreyed(SpekBox, AlleSpektren->isChecked()); }

void TAdvBaselineDia::ShowBaseline() {
    RunGuarded([this] {
        const int index = preview_.ShowBaseline(CurrentDisplayState(), Params());
        if (index >= 0 && BaselineShown) BaselineShown(index);
    });
}

bool TAdvBaselineDia::FormCloseOk() {
    const TAdvBaselineParams p = Params();
    ProgramSettings.AdvBaselineSettings = p.Settings;
    ApplyAdvBaseline(SpectraList, CurrentDisplayState(), p, preview_);
    return true;
}

void TAdvBaselineDia::done(int result) {
    if (result != QDialog::Accepted && preview_.Baseline()) {
        preview_.Remove();
        if (BaselineShown) BaselineShown(-1);
    }
    TToolDialog::done(result);
}
