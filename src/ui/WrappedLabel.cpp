#include "ui/WrappedLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace halvrick {

namespace {

// As wide as a comfortable line of text when nothing else decides the width.
constexpr int comfortableCharacters = 80;

qreal alignedLeft(QRectF area, qreal width, Qt::Alignment horizontal) {
    if (horizontal & Qt::AlignRight) {
        return area.right() - width;
    }
    if (horizontal & Qt::AlignHCenter) {
        return area.left() + (area.width() - width) / 2;
    }
    return area.left();
}

} // namespace

WrappedLabel::WrappedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // Marks the size policy as height-for-width, as for any wrapping label.
    setWordWrap(true);
}

void WrappedLabel::setMaximumLines(std::optional<int> lines) {
    if (lines == maximumLines_) {
        return;
    }
    maximumLines_ = lines;
    updateGeometry();
    update();
}

std::vector<WrappedLabel::Line> WrappedLabel::layOut(QRectF area, bool fitHeight) const {
    const QString& full = text();
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    QTextOption option(horizontal);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(layoutDirection());
    QTextLayout layout(full, font());
    layout.setTextOption(option);

    std::vector<Line> lines;
    int lastStart = 0;
    bool more = false;
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        const bool limited = maximumLines_ && static_cast<int>(lines.size()) >= *maximumLines_;
        // The first line shows however little room there is.
        const bool tooLow = fitHeight && !lines.empty() && y + line.height() > area.height();
        if (limited || tooLow) {
            more = true;
            break;
        }
        line.setPosition(QPointF(0, y));
        lastStart = line.textStart();
        lines.push_back(
            {full.mid(line.textStart(), line.textLength()),
             QRectF(area.left() + line.x(), area.top() + y, line.naturalTextWidth(), line.height())});
        y += line.height();
    }
    layout.endLayout();

    if (more && !lines.empty()) {
        // The last line shown takes the rest of the text, cut to its width.
        const QFontMetricsF metrics(font());
        Line& last = lines.back();
        last.text = metrics.elidedText(full.mid(lastStart), Qt::ElideRight, area.width());
        last.rect.setWidth(std::min(area.width(), metrics.horizontalAdvance(last.text)));
        last.rect.moveLeft(alignedLeft(area, last.rect.width(), horizontal));
    }
    const qreal spare = area.height() - y;
    if (fitHeight && spare > 0 && !(alignment() & Qt::AlignTop)) {
        const qreal down = alignment() & Qt::AlignBottom ? spare : spare / 2;
        for (Line& line : lines) {
            line.rect.translate(0, down);
        }
    }
    return lines;
}

std::vector<WrappedLabel::Line> WrappedLabel::shownLines() const {
    return layOut(contentsRect(), true);
}

int WrappedLabel::marginsHeight() const {
    return height() - contentsRect().height();
}

int WrappedLabel::heightForWidth(int width) const {
    const int inner = std::max(1, width - (this->width() - contentsRect().width()));
    const std::vector<Line> lines = layOut(QRectF(0, 0, inner, 0), false);
    const qreal bottom = lines.empty() ? QFontMetricsF(font()).height() : lines.back().rect.bottom();
    return static_cast<int>(std::ceil(bottom)) + marginsHeight();
}

QSize WrappedLabel::sizeHint() const {
    const QFontMetricsF metrics(font());
    const int natural = static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
    const int comfortable = static_cast<int>(std::ceil(metrics.averageCharWidth() * comfortableCharacters));
    const int margins = width() - contentsRect().width();
    const int wide = std::max(1, std::min(natural, comfortable)) + margins;
    return {wide, heightForWidth(wide)};
}

QSize WrappedLabel::minimumSizeHint() const {
    // Any width: a word too long for it breaks, and one line at least.
    const QFontMetricsF metrics(font());
    const int margins = width() - contentsRect().width();
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("W…")))) + margins,
            static_cast<int>(std::ceil(metrics.height())) + marginsHeight()};
}

void WrappedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const qreal ascent = QFontMetricsF(font()).ascent();
    for (const Line& line : shownLines()) {
        painter.drawText(QPointF(line.rect.left(), line.rect.top() + ascent), line.text);
    }
}

} // namespace halvrick
