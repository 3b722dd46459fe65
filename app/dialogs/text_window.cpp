#include "app/dialogs/text_window.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void BuildTextWindow(QDialog& dialog, const char* objectName, const QString& title, const QString& text,
                     int width, int height) {
    dialog.setObjectName(objectName);
    dialog.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&dialog);
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setPlainText(text);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setObjectName("OKButton");
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    lay->addWidget(memo);
    lay->addWidget(ok, 0, Qt::AlignHCenter);
    dialog.resize(width, height);
}
