#include "app/dialogs/TSStart.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdlib>

#include "app/app_version.h"
#include "core/helpers.h"
#include "platform/numtext.h"

namespace {

// A small drawn picture: the visible spectrum as a band with an absorption curve over it.
QPixmap SpectrumPicture() {
    QPixmap pm(180, 140);
    pm.fill(Qt::white);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 180, 0);
    const QColor stops[] = {QColor(120, 0, 160), QColor(0, 0, 255), QColor(0, 200, 255), QColor(0, 200, 0),
                            QColor(255, 255, 0), QColor(255, 128, 0), QColor(220, 0, 0)};
    for (int i = 0; i < 7; ++i) g.setColorAt(i / 6.0, stops[i]);
    p.fillRect(QRect(0, 100, 180, 40), g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    QPainterPath path;
    for (int x = 0; x <= 180; ++x) {
        const double u = (x - 70) / 22.0, v = (x - 135) / 15.0;
        const double y = 95 - 75 * std::exp(-u * u) - 40 * std::exp(-v * v);
        if (x == 0) path.moveTo(x, y);
        else path.lineTo(x, y);
    }
    p.drawPath(path);
    return pm;
}

}  // namespace

TSStart::TSStart(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("SStart");
    setStyleSheet("TSStart { background: white; border: 1px solid gray; }");
    setAttribute(Qt::WA_StyledBackground, true);

    auto* name = new QLabel(kProgramName, this);
    name->setObjectName("Label1");
    QFont big("Arial", 26, QFont::Bold);
    name->setFont(big);

    auto* text = new QLabel(QString::fromUtf8("spectroscopy software\r\nfor visualisation and \r\nprocessing of\r\n"
                                              " \r\n• UV-VIS, \r\n• IR, FTIR, NIR,\r\n• fluorescence,\r\n"
                                              "• Raman spectra")
                                .replace("\r\n", "\n"),
                            this);
    text->setObjectName("Label2");
    text->setFont(QFont("Arial", 11));

    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(SpectrumPicture());

    versionLabel_ = new QLabel("Prototype Version ", this);
    versionLabel_->setObjectName("VersionLabel");
    versionLabel_->setFont(QFont("Arial", 10));

    auto* proto = new QLabel("spectrometer control prototype!", this);
    proto->setObjectName("Label3");
    proto->setFont(QFont("Arial", 10, QFont::Bold));
    proto->setStyleSheet("color: #a00000;");

    auto* top = new QHBoxLayout;
    top->addWidget(text, 1);
    top->addWidget(picture, 0, Qt::AlignTop);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 18, 24, 18);
    lay->addWidget(name);
    lay->addLayout(top);
    lay->addWidget(versionLabel_);
    lay->addWidget(proto);
    adjustSize();
    if (QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

int TSStart::WaitMilliseconds() {
    if (const char* env = std::getenv("VAROLUX32_SPLASH_MS")) {
        if (auto v = numtext::TryStrToInt(env); v && *v >= 0) return *v;
    }
    return 3000;
}

void TSStart::FormActivate() {
    versionLabel_->setText(versionLabel_->text() + kProgramVersion);
    repaint();
    DelayWithMessages(WaitMilliseconds());
}
