#pragma once
// "Calculation of Excitation Spectra": the loaded series cut at detection wavelengths.
#include <memory>
#include <vector>

#include "app/dialogs/tool_dialog.h"
#include "core/spectrum_record.h"

class QCheckBox;
class QLineEdit;

class TErregSpekDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TErregSpekDia(QWidget* parent = nullptr);
    QLineEdit* DetWellAnf;
    QLineEdit* DetWellEnde;
    QLineEdit* ErregspekSchrittweite;
    QCheckBox* FluospekLoeschBox;
    // The excitation spectra of the last OK, for the command to store; empty when nothing was computed.
    std::vector<std::unique_ptr<TSpectrumRecord>> Results;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
