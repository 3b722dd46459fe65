#pragma once
// "Excitation Emission Matrix Calculation": a range of spectra divided by the lamp intensity at their
// excitation wavelengths.
#include <memory>
#include <vector>

#include "app/dialogs/tool_dialog.h"
#include "core/spectrum_record.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class TMatrixDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TMatrixDia(QWidget* parent = nullptr);
    QComboBox* SpekbereichAnfang;
    QComboBox* SpekbereichEnde;
    QPushButton* LampSpekLaden;
    QCheckBox* LampSpekCheckBox;
    // The corrected spectra of the last OK; empty when nothing was computed.
    std::vector<std::unique_ptr<TSpectrumRecord>> Results;

    void LampSpekLadenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
