#include "app/dialogs/help_ok_cancel_row.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPushButton>

OkCancelButtons AddOkCancelRow(QWidget* dialog, QBoxLayout* into) {
    OkCancelButtons b{};
    b.row = new QHBoxLayout;
    b.ok = new QPushButton("OK", dialog);
    b.ok->setObjectName("OKBtn");
    b.ok->setDefault(true);  // Enter in an edit confirms rather than pressing the first button
    b.cancel = new QPushButton("Cancel", dialog);
    b.cancel->setObjectName("CancelBtn");
    b.row->addStretch(1);
    b.row->addWidget(b.ok);
    b.row->addWidget(b.cancel);
    into->addLayout(b.row);
    return b;
}

HelpOkCancelButtons AddHelpOkCancelRow(QWidget* dialog, QBoxLayout* into) {
    const OkCancelButtons row = AddOkCancelRow(dialog, into);
    QPushButton* help = new QPushButton("&Help", dialog);
    help->setObjectName("HelpBtn");
    row.row->insertWidget(0, help);
    return {help, row.ok, row.cancel};
}
