#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <Qt>

class QPainter;

namespace halvrick {

// Text in painted pictures: the rounded face, sized in pixels so a picture looks the same on every
// screen, and lines that shrink to fit before they are cut.
namespace CardText {

// Quicksand where it is installed, else the default sans. `pixels` at scale 1.
QFont font(int pixels, QFont::Weight weight);
// The font made smaller, a pixel at a time down to `minimumScale` of its size, until `text` fits
// `width` on one line; the smallest it may be when nothing fits.
QFont fitted(QFont font, const QString& text, qreal width, qreal minimumScale);
// One line in `area`: fitted, then cut with `elide` when it still does not fit. The height the line
// takes is the font's.
void drawLine(QPainter& painter, const QRectF& area, int alignment, const QFont& font, const QString& text,
              qreal minimumScale = 1, Qt::TextElideMode elide = Qt::ElideRight);
// Wrapped at word boundaries into at most `maxLines` lines of `width` (0: as many as the text needs),
// the last one cut when the text goes on: the number of lines.
int lineCount(const QFont& font, const QString& text, qreal width, int maxLines);
// The height `lines` lines take, `lineGap` further apart than the font's line spacing (a negative gap
// sets them closer).
qreal linesHeight(const QFont& font, int lines, qreal lineGap = 0);
// The height of the lines lineCount counts.
qreal wrappedHeight(const QFont& font, const QString& text, qreal width, int maxLines, qreal lineGap = 0);
// Draws what wrappedHeight measured, from the top left of `area`; returns the height drawn.
qreal drawWrapped(QPainter& painter, const QRectF& area, const QFont& font, const QString& text, int maxLines,
                  qreal lineGap = 0);

} // namespace CardText

} // namespace halvrick
