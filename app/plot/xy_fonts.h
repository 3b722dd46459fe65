#pragma once
// Font sizes as the plot counts them: a size in points and a height in pixels at 96 dpi
// (10 pt = 13 px, rounded like the platform's MulDiv), scaled for exports.
#include <QFont>
#include <QString>
#include <QStringList>

namespace xyfont {

// Size in points (pixel-sized fonts are converted back at 96 dpi).
int SizePt(const QFont& f);
// |height| in pixels of a font of `sizePt` points.
int HeightForSize(int sizePt);
// |height| in pixels of the font.
int HeightPx(const QFont& f);
// The font with its size multiplied by s and rounded, sized in pixels for drawing.
QFont Scaled(const QFont& f, double s);
// Width of a text in the unscaled font, as the plot's own canvas measures it.
int TextWidth(const QFont& f, const QString& text);
// Height of a text line in the unscaled font.
int TextHeight(const QFont& f);
// The text in lines no wider than `width` in the unscaled font: broken at blanks, and a word wider than
// a line within the word. A width below 1 leaves the text whole.
QStringList WrapToWidth(const QFont& f, const QString& text, int width);

}  // namespace xyfont
