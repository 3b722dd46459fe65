#pragma once
// "Spectra Averaging".
#include "app/dialogs/tool_dialog.h"

class QLineEdit;
class QListWidget;

class TMittelDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TMittelDia(QWidget* parent = nullptr);
    QListWidget* ListBox1;
    QLineEdit* MittelSpekName;

    void ListBox1LeftClick(int row);
    void ListBox1RightClick(int row);

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
