#include "app/plot/xy_fonts.h"

#include <QFontMetrics>

#include <cmath>

namespace xyfont {

int SizePt(const QFont& f) {
    if (f.pointSize() > 0) return f.pointSize();
    if (f.pixelSize() > 0) return static_cast<int>(std::lround(f.pixelSize() * 72.0 / 96.0));
    return 0;
}

int HeightForSize(int sizePt) {
    // MulDiv(size, 96, 72): halves away from zero.
    return static_cast<int>(std::lround(std::fabs(sizePt) * 96.0 / 72.0));
}

int HeightPx(const QFont& f) {
    if (f.pointSize() <= 0 && f.pixelSize() > 0) return f.pixelSize();
    return HeightForSize(SizePt(f));
}

QFont Scaled(const QFont& f, double s) {
    QFont out(f);
    if (f.pointSize() <= 0 && f.pixelSize() > 0) {
        out.setPixelSize(std::max(1, static_cast<int>(std::nearbyint(f.pixelSize() * s))));
    } else {
        const int size = static_cast<int>(std::nearbyint(SizePt(f) * s));
        out.setPixelSize(std::max(1, HeightForSize(size)));
    }
    return out;
}

int TextWidth(const QFont& f, const QString& text) {
    return QFontMetrics(Scaled(f, 1.0)).horizontalAdvance(text);
}

int TextHeight(const QFont& f) { return QFontMetrics(Scaled(f, 1.0)).height(); }

QStringList WrapToWidth(const QFont& f, const QString& text, int width) {
    const QFontMetrics fm(Scaled(f, 1.0));
    if (width < 1 || fm.horizontalAdvance(text) <= width) return {text};
    QStringList lines;
    QString line;
    auto fits = [&](const QString& t) { return fm.horizontalAdvance(t) <= width; };
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line = word;
        // A word wider than a whole line goes in pieces, at least one character each.
        while (!fits(line)) {
            qsizetype n = 1;
            while (n < line.size() && fits(line.left(n + 1))) ++n;
            lines << line.left(n);
            line = line.mid(n);
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

}  // namespace xyfont
