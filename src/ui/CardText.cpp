#include "ui/CardText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace halvrick::CardText {

namespace {

// The lines of `text` wrapped into `width`, at most `maxLines` (0: no limit), the last one elided when
// cut short.
QStringList wrapped(const QFont& font, const QString& text, qreal width, int maxLines) {
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        if (maxLines > 0 && static_cast<int>(lines.size()) == maxLines - 1) {
            const QString rest = text.mid(line.textStart()).simplified();
            lines << QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace

QFont font(int pixels, QFont::Weight weight) {
    QFont result;
    result.setFamilies({QStringLiteral("Quicksand"), QStringLiteral("DejaVu Sans")});
    result.setPixelSize(std::max(1, pixels));
    result.setWeight(weight);
    return result;
}

QFont fitted(QFont font, const QString& text, qreal width, qreal minimumScale) {
    const int full = font.pixelSize();
    const int smallest = std::max(1, static_cast<int>(std::ceil(full * minimumScale)));
    for (int size = full; size >= smallest; --size) {
        font.setPixelSize(size);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) {
            return font;
        }
    }
    font.setPixelSize(smallest);
    return font;
}

void drawLine(QPainter& painter, const QRectF& area, int alignment, const QFont& font, const QString& text,
              qreal minimumScale, Qt::TextElideMode elide) {
    const QFont used = fitted(font, text, area.width(), minimumScale);
    const QString shown = QFontMetricsF(used).elidedText(text, elide, area.width());
    painter.save();
    painter.setFont(used);
    painter.drawText(area, alignment | Qt::TextSingleLine, shown);
    painter.restore();
}

int lineCount(const QFont& font, const QString& text, qreal width, int maxLines) {
    return static_cast<int>(wrapped(font, text, width, maxLines).size());
}

qreal linesHeight(const QFont& font, int lines, qreal lineGap) {
    return lines > 0 ? lines * QFontMetricsF(font).lineSpacing() + (lines - 1) * lineGap : 0;
}

qreal wrappedHeight(const QFont& font, const QString& text, qreal width, int maxLines, qreal lineGap) {
    return linesHeight(font, lineCount(font, text, width, maxLines), lineGap);
}

qreal drawWrapped(QPainter& painter, const QRectF& area, const QFont& font, const QString& text, int maxLines,
                  qreal lineGap) {
    const QStringList lines = wrapped(font, text, area.width(), maxLines);
    const qreal spacing = QFontMetricsF(font).lineSpacing();
    painter.save();
    painter.setFont(font);
    qreal y = area.top();
    for (const QString& line : lines) {
        painter.drawText(QRectF(area.left(), y, area.width(), spacing), Qt::AlignLeft | Qt::AlignVCenter,
                         line);
        y += spacing + lineGap;
    }
    painter.restore();
    return linesHeight(font, static_cast<int>(lines.size()), lineGap);
}

} // namespace halvrick::CardText
