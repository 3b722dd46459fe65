#pragma once
// "Transmission/Reflection".
#include "app/dialogs/tool_dialog.h"

class QComboBox;
class TRadioGroup;

class TTransReflDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TTransReflDia(QWidget* parent = nullptr);
    QComboBox* ProbSpek;
    QComboBox* RefSpek;
    TRadioGroup* TransRef_RadioGroup1;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
