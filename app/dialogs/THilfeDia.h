#pragma once
// "Help": links to the local manual and to the product's download page and user community.
#include <QDialog>

class QLabel;
class QPushButton;

class THilfeDia : public QDialog {
    Q_OBJECT
public:
    explicit THilfeDia(QWidget* parent = nullptr);

    QLabel* Label1;  // "Varolux32 online help": the manual beside the program
    QLabel* Label2;  // the web site's address: its download page
    QLabel* Label3;  // "Varolux32 user community": the discussion forum
    QPushButton* OKBtn;

    void Label1Click();
    void Label2Click();
    void Label3Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
