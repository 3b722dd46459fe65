#pragma once
// "Remove spectra": choose spectra to delete by hand, or all spectra of one file type.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

class TLoeschdia : public TToolDialog {
    Q_OBJECT
public:
    explicit TLoeschdia(QWidget* parent = nullptr);

    QListWidget* SrcList;
    QListWidget* DstList;
    QPushButton* IncludeBtn;
    QPushButton* IncAllBtn;
    QPushButton* ExcludeBtn;
    QPushButton* ExAllBtn;
    QCheckBox* CheckBox1;
    QComboBox* ComboBox1;

    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExcAllBtnClick();
    void CheckBox1Click();
    void SetButtons();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    void moveSelected(QListWidget* from, QListWidget* to);
    void moveAll(QListWidget* from, QListWidget* to);
};
