#pragma once
// "Baselining options": a baseline for the chosen spectrum, previewed in the plot while the dialog is
// open and subtracted on OK.
#include <functional>

#include "app/dialogs/tool_dialog.h"
#include "core/spectra_list.h"
#include "tools/adv_baseline.h"

class QCheckBox;
class QComboBox;
class QSlider;
class QTabWidget;
class TRadioGroup;

class TAdvBaselineDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TAdvBaselineDia(QWidget* parent = nullptr);

    QComboBox* SpekBox;
    QTabWidget* PageControl1;  // "linear", "adaptive", "scattering solution"
    QSlider* RxSliderLinearSlope;
    QSlider* RxSliderLinearOffset;
    QSlider* RxSliderAdaptiveCoarseness;
    QSlider* RxSliderAdaptiveOffset;
    QSlider* RxSliderScatteringOffset;
    QSlider* RxSliderScatteringSpread;
    TRadioGroup* RadioGroupScatteringPower;
    QCheckBox* OrgLoeschen;
    QCheckBox* AlleSpektren;
    QCheckBox* LegendeBleibt;
    QCheckBox* BaselineSpektrum;

    // Called with the preview's list index after each ShowBaseline, and with -1 when the preview left
    // the list (the command draws the curve).
    std::function<void(int index0)> BaselineShown;

    void ShowBaseline();
    void AlleSpektrenClick();
    // The preview record while it is in the list.
    const TSpectrumRecord* Baseline() const { return preview_.Baseline(); }

    void done(int result) override;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    TAdvBaselineParams Params() const;
    TBaselinePreview preview_{SpectraList};
    bool filling_ = false;
};
