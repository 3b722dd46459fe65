#include "app/dialogs/TAboutBox.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "app/app_version.h"
#include "app/dialogs/TCreditDia.h"
#include "app/dialogs/TLizenzInfoDia.h"
#include "app/dialogs/tool_dialog.h"
#include "tools/dialog_support.h"

namespace {
QString css(uint32_t bgr) {
    return QString("background-color: rgb(%1,%2,%3);")
        .arg(bgr & 0xFF)
        .arg((bgr >> 8) & 0xFF)
        .arg((bgr >> 16) & 0xFF);
}
}  // namespace

TAboutBox::TAboutBox(QWidget* parent, TAboutSweep sweep) : QDialog(parent), sweep_(std::move(sweep)) {
    setObjectName("AboutBox");
    setWindowTitle("About Varolux32");
    auto* lay = new QVBoxLayout(this);
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* pl = new QVBoxLayout(Panel1);
    auto label = [&](const char* name, const QString& text) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(name);
        pl->addWidget(l);
        return l;
    };
    // FormCreate: name, version and notice.
    ProductName = label("ProductName", "Varolux32");
    QFont f = ProductName->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    ProductName->setFont(f);
    Version = label("Version", "1.72.2p");
    Copyright = label("Copyright", "Copyright © the Varolux32 authors");
    Comments = label("Comments",
                     "Loads, displays and processes optical spectra.\n"
                     "Free of charge; provided without warranty.");
    Label7 = label("Label7", QString("<a href=\"%1\">%1</a>").arg(kWebsiteUrl));
    Label7->setTextInteractionFlags(Qt::NoTextInteraction);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->installEventFilter(this);
    EggLabel = label("EggLabel", "   ");
    EggLabel->installEventFilter(this);  // invisible to the eye: no text, but it takes double clicks
    lay->addWidget(Panel1);

    auto* row = new QHBoxLayout;
    LizenzInfoButton = new QPushButton("read licence agreement...", this);
    LizenzInfoButton->setObjectName("LizenzInfoButton");
    CreditButton = new QPushButton("Credits...", this);
    CreditButton->setObjectName("CreditButton");
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    row->addWidget(LizenzInfoButton);
    row->addWidget(CreditButton);
    row->addStretch(1);
    row->addWidget(OKButton);
    lay->addLayout(row);
    connect(LizenzInfoButton, &QPushButton::clicked, this, &TAboutBox::LizenzInfoButtonClick);
    connect(CreditButton, &QPushButton::clicked, this, &TAboutBox::CreditButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label7 && event->type() == QEvent::MouseButtonRelease) {
        Label7Click();
        return true;
    }
    if (watched == EggLabel && event->type() == QEvent::MouseButtonDblClick) {
        StartEasterEgg();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::LizenzInfoButtonClick() {
    TLizenzInfoDia dia(this);
    RunModal(dia);
}

void TAboutBox::CreditButtonClick() {
    TCreditDia dia(this);
    RunModal(dia);
}

void TAboutBox::Label7Click() { OpenWebPage(kWebsiteUrl); }

void TAboutBox::setColours(uint32_t window, uint32_t panel) {
    setStyleSheet(QString("TAboutBox { %1 }").arg(css(window)));
    Panel1->setStyleSheet(QString("QFrame#Panel1 { %1 }").arg(css(panel)));
    repaint();
}

void TAboutBox::StartEasterEgg() {
    setWindowTitle("you found the easter egg!");
    Panel1->setFrameStyle(QFrame::NoFrame);
    OKButton->hide();
    auto colour = [this](double nm) { return sweep_.WavelengthColor ? sweep_.WavelengthColor(nm) : 0x808080u; };
    auto tone = [this](int hz) {
        if (sweep_.Tone) sweep_.Tone(hz, 20);
    };
    // From 390 to 780 nm and back, with tones from 440 to 880 Hz and back, twice.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 130; i <= 260; ++i) {
            const uint32_t w = colour(1170 - 3 * i);
            setColours(w, colour(3 * i));
            tone(static_cast<int>(std::nearbyint(3.385 * i)));
        }
        for (int i = 130; i <= 260; ++i) {
            const uint32_t w = colour(3 * i);
            setColours(w, colour(1170 - 3 * i));
            tone(static_cast<int>(std::nearbyint(1320 - 3.385 * i)));
        }
    }
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setStyleSheet(QString());
    Panel1->setStyleSheet(QString());
    OKButton->show();
}
