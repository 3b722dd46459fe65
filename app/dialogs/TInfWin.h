#pragma once
// "Infos": a message while a long operation runs, with a button that asks it to stop.
#include <QDialog>

class QLabel;
class QPushButton;

class TInfWin : public QDialog {
    Q_OBJECT
public:
    explicit TInfWin(QWidget* parent = nullptr);
    bool AbortFlag() const { return abort_; }
    void SetText(const QString& text);
    QLabel* TextWin;
    QPushButton* OKButton;

    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;  // FormActivate: clears the flag
    void closeEvent(QCloseEvent* event) override;

private:
    bool abort_ = false;
};
