#pragma once
// "Export spectral data": every spectrum as SPC, JCAMP-DX or CSV, one file each or one multi-file,
// with a report of the files written. It closes only through Close (its Export! writes).
#include <string>

#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TRadioGroup;

class TMultiSaveDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TMultiSaveDia(QWidget* parent = nullptr);

    TRadioGroup* SaveType;
    TRadioGroup* SaveOutput;
    TRadioGroup* SaveLocation;
    QLineEdit* ESpekname;
    QCheckBox* CheckBoxSpekName;
    QCheckBox* CheckBoxLegends;
    QLineEdit* EFileLocation;
    QPlainTextEdit* Memo1;
    QProgressBar* ProgressBar1;

    void SaveLocationClick();
    void EFileLocationChange();
    void SaveOutputClick();
    void CheckBoxSpekNameClick();
    void Button1Click();  // Export!
    void Button2Click();  // help

protected:
    void FormActivate() override;

private:
    // The caption of the numbering box and the legends box's visibility follow the output.
    void ShowOutputChoice(bool multi);
    void ChooseFolder();
    std::string folder_;  // EFileLocation's text, kept on every change
};
