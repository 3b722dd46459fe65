#include "app/dialogs/THilfeDia.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_version.h"
#include "app/program_state.h"
#include "tools/dialog_support.h"

THilfeDia::THilfeDia(QWidget* parent) : QDialog(parent) {
    setObjectName("HilfeDia");
    setWindowTitle("Help");
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    auto text = [&](const char* name, const char* t) {
        auto* l = new QLabel(QString::fromUtf8(t).replace("\r\n", "\n"), this);
        l->setObjectName(name);
        lay->addWidget(l);
        return l;
    };
    auto link = [&](const char* name, const QString& t) {
        auto* l = new QLabel(QString("<a href=\"#\">%1</a>").arg(t.toHtmlEscaped()), this);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        QFont f = l->font();
        f.setPointSize(f.pointSize() + 1);
        l->setFont(f);
        lay->addWidget(l);
        lay->addSpacing(8);
        return l;
    };
    text("Label4", "the local online help (HTML format):");
    Label1 = link("Label1", "Varolux32 online help");
    text("Label5", "(with a full description of menu items \r\nand functions of Varolux32)");
    lay->addSpacing(8);
    text("Label6", "there is also a PDF manual at the Varolux32 website:");
    Label2 = link("Label2", kWebsiteAddressText);
    text("Label7", "help and assistance also available within the \r\nVarolux32 user community (discussion forum)");
    Label3 = link("Label3", "Varolux32 user community");
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    lay->addWidget(OKBtn, 0, Qt::AlignRight);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

bool THilfeDia::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label1) Label1Click();
        else if (watched == Label2) Label2Click();
        else if (watched == Label3) Label3Click();
        else return QDialog::eventFilter(watched, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void THilfeDia::Label1Click() { OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_manual_en.html"); }

void THilfeDia::Label2Click() { OpenWebPage(kDownloadPageUrl); }

void THilfeDia::Label3Click() { OpenWebPage(kCommunityPageUrl); }
