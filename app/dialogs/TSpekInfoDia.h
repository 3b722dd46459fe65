#pragma once
// "Spectra Information": the stored data of one chosen spectrum as text that can be copied.
#include <QDialog>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

class TSpekInfoDia : public QDialog {
    Q_OBJECT
public:
    explicit TSpekInfoDia(QWidget* parent = nullptr);

    QComboBox* Spekbox;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;  // Help
    QPushButton* Button2;  // Copy Information
    QPushButton* OKBtn;

    void FormActivate();
    // Fills the memo for the spectrum chosen in Spekbox (nothing shown without one).
    void MemoSchreiben();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
};
