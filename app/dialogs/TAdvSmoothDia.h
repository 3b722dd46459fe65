#pragma once
// "Smoothing options": moving average, Savitzky-Golay or percentile smoothing of one or all spectra.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

class TAdvSmoothDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TAdvSmoothDia(QWidget* parent = nullptr);

    QComboBox* SpekBox;
    QRadioButton* RBmovingaverage;
    QRadioButton* RBsavitsky;
    QRadioButton* RBpercentile;
    QSpinBox* Emovavesize;
    QComboBox* Cmovaveshape;
    QSpinBox* Esavitskysize;
    QSpinBox* Esavitskyorder;
    QSpinBox* Epercentilesize;
    QSpinBox* Epercentile;
    QCheckBox* OrgLoeschen;
    QCheckBox* AlleSpektren;

    void AlleSpektrenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The method whose controls `w` belongs to.
    QRadioButton* MethodOf(QObject* w) const;
    bool filling_ = false;
};
