#include "app/dialogs/help_ok_cancel_row.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPushButton>

HelpOkCancelButtons AddHelpOkCancelRow(QWidget* dialog, QBoxLayout* into) {
    HelpOkCancelButtons b{};
    auto* row = new QHBoxLayout;
    b.help = new QPushButton("&Help", dialog);
    b.help->setObjectName("HelpBtn");
    b.ok = new QPushButton("OK", dialog);
    b.ok->setObjectName("OKBtn");
    b.ok->setDefault(true);  // Enter in an edit confirms rather than pressing the first button
    b.cancel = new QPushButton("Cancel", dialog);
    b.cancel->setObjectName("CancelBtn");
    row->addWidget(b.help);
    row->addStretch(1);
    row->addWidget(b.ok);
    row->addWidget(b.cancel);
    into->addLayout(row);
    return b;
}
