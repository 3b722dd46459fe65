#pragma once
// Arithmetic between two spectra; the command sets caption, operation code and operator label.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;

class TVerrechDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TVerrechDia(QWidget* parent = nullptr);
    // Caption "Addition" ... "Division", operation code 0..3, label "plus" ... "divided by".
    void SetOperation(int code);
    int Operation() const { return operation_; }

    QComboBox* Cs1;
    QComboBox* Cs2;
    QCheckBox* alleSpektren;
    QCheckBox* LegendeBleibt;
    QLabel* rechenart;

    void alleSpektrenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    int operation_ = 0;
};
