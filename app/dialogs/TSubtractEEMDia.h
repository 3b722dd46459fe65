#pragma once
// "Subtract Blank EEM datafile": a blank data set from an RVX file subtracted from the loaded EEM.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class TSubtractEEMDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSubtractEEMDia(QWidget* parent = nullptr);
    QLabel* LEXStart;
    QLabel* LEXEnd;
    QLabel* LEMStart;
    QLabel* LEMEnd;
    QLabel* LEXStep;
    QLabel* LEMStep;
    QLabel* Lspecnumber;
    QLabel* LFilename;
    QPushButton* Button2;
    QCheckBox* CLegendadd;
    QCheckBox* CheckBox1;
    QComboBox* CRamanSolvent;

    void Button2Click();
    // Cancel or any other close takes the blank out of the list again.
    void done(int result) override;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    QPushButton* okButton() const;
    int32_t dataCount_ = 0;  // the loaded data set's spectra; a blank follows them in the list
};
