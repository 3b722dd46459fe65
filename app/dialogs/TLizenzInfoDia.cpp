#include "app/dialogs/TLizenzInfoDia.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TLizenzInfoDia::TLizenzInfoDia(QWidget* parent) : QDialog(parent) {
    setObjectName("LizenzInfoDia");
    setWindowTitle("Licence Agreement");
    auto* lay = new QVBoxLayout(this);
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setPlainText(
        "Varolux32 licence agreement\n\n"
        "Varolux32 may be used and passed on free of charge, unchanged and complete.\n\n"
        "The program is provided as it is, without any warranty. The authors are not liable for any "
        "damage or loss of data caused by its use. Check every result that you rely on.");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(memo);
    lay->addWidget(ok, 0, Qt::AlignHCenter);
    resize(460, 300);
}
