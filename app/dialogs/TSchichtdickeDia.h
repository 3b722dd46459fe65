#pragma once
// "Calculate Film Thickness": the thickness of a thin film from its interference fringes. Lives for the
// whole run; changes no spectrum.
#include <functional>
#include <utility>

#include "app/dialogs/tool_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TSchichtdickeDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSchichtdickeDia(QWidget* parent = nullptr);
    // The plot's current x minimum and maximum (display units); set by the command.
    std::function<std::pair<double, double>()> PlotRange;

    QComboBox* Spekbox;
    QLineEdit* EBrechindex;
    QLineEdit* EWinkel;
    QLineEdit* EAnf;
    QLineEdit* EEnde;
    QLabel* Label7;
    QLabel* Label8;
    QPlainTextEdit* Memo1;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button2;

    void MemoSchreiben();
    void Button4Click();
    void Button2Click();
    // Every close stores the settings (OK, Cancel, the window's close box).
    void done(int result) override;

protected:
    void FormActivate() override;

private:
    bool filling_ = false;
};
