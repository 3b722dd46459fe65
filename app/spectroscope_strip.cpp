#include "app/spectroscope_strip.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "core/wavelength_colours.h"

void DrawSpectroscopeImage(QImage& Bitmap, bool Labels, int32_t TickStep, bool Grey, TSpectrumRecord* spectrum,
                           const TDisplayState& display, bool ReversedX) {
    if (Bitmap.isNull()) return;
    if (Bitmap.format() != QImage::Format_RGB888) Bitmap = Bitmap.convertToFormat(QImage::Format_RGB888);
    const int w = Bitmap.width(), h = Bitmap.height();
    const SpectroscopeStripLayout strip =
        LayoutSpectroscopeStrip(w, h, Labels, TickStep, Grey, spectrum, display, ReversedX);
    for (int y = 0; y < h; ++y) {
        uchar* line = Bitmap.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const Rgb& c = strip.Columns[static_cast<std::size_t>(x)];
            line[3 * x] = c.R;
            line[3 * x + 1] = c.G;
            line[3 * x + 2] = c.B;
        }
    }
    if (strip.Ticks.empty()) return;
    QPainter p(&Bitmap);
    QFont font("Arial");
    font.setPointSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(font);
    for (const StripTick& t : strip.Ticks) {
        const QColor colour(t.Color.R, t.Color.G, t.Color.B);
        p.setPen(QPen(colour, 2));
        p.drawLine(t.X, strip.LineTop, t.X, h - 1);
        const QString label = QString::number(t.Label);
        const int tw = fm.horizontalAdvance(label);
        p.drawText(t.X - tw / 2, strip.LineTop - fm.descent() - 1, label);
    }
}
