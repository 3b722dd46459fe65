#include "app/dialogs/TInfWin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TInfWin::TInfWin(QWidget* parent) : QDialog(parent) {
    setObjectName("InfWin");
    setWindowTitle("Infos");
    setModal(false);
    auto* lay = new QVBoxLayout(this);
    TextWin = new QLabel(this);
    TextWin->setObjectName("TextWin");
    TextWin->setAlignment(Qt::AlignCenter);
    TextWin->setMinimumWidth(320);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    connect(OKButton, &QPushButton::clicked, this, &TInfWin::OKButtonClick);
    lay->addWidget(TextWin);
    lay->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void TInfWin::SetText(const QString& text) { TextWin->setText(text); }

void TInfWin::OKButtonClick() { abort_ = true; }

void TInfWin::showEvent(QShowEvent* event) {
    abort_ = false;
    QDialog::showEvent(event);
}

void TInfWin::closeEvent(QCloseEvent* event) {
    // Closing the window ends a loop that shows it, as its button does.
    abort_ = true;
    QDialog::closeEvent(event);
}
