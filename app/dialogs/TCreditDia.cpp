#include "app/dialogs/TCreditDia.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCreditDia::TCreditDia(QWidget* parent) : QDialog(parent) {
    setObjectName("CreditDia");
    setWindowTitle("Credits");
    auto* lay = new QVBoxLayout(this);
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setPlainText(
        "Varolux32\n\n"
        "Thanks to everyone who sent spectra, reported faults and suggested improvements, and to the "
        "authors of the free libraries this program is built on: Qt, zlib, libpng, giflib, libtiff, "
        "libjpeg, libzip and nettle.");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(memo);
    lay->addWidget(ok, 0, Qt::AlignHCenter);
    resize(420, 260);
}
