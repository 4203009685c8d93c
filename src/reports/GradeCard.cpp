#include "reports/GradeCard.h"

#include "core/FaceState.h"
#include "model/Copy.h"
#include "ui/CardLook.h"
#include "ui/CardText.h"
#include "ui/PlainText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace halvrick::GradeCard {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

struct TintRow {
    QRgb light;
    QRgb dark;
    QRgb lightHighContrast;
    QRgb darkHighContrast;
};

// Green for A and B, amber for C, red for D and F.
constexpr std::array<TintRow, 3> tints{{
    {0x2E7D5B, 0x7BC9A2, 0x1E5C42, 0xA6E6C7},
    {0xB26A00, 0xE5A93F, 0x8A5200, 0xFFC46B},
    {0xB2402E, 0xE77B68, 0x8C2E1F, 0xFF9A85},
}};

std::size_t group(DailyGrade::Letter letter) {
    switch (letter) {
    case DailyGrade::Letter::a:
    case DailyGrade::Letter::b:
        return 0;
    case DailyGrade::Letter::c:
        return 1;
    case DailyGrade::Letter::d:
    case DailyGrade::Letter::f:
        return 2;
    }
    return 2;
}

constexpr qreal spacing = 18;

} // namespace

Gradient background(DailyGrade::Letter letter) {
    switch (group(letter)) {
    case 0:
        return {QColor(235, 246, 255), QColor(201, 228, 245)};
    case 1:
        return {QColor(255, 244, 230), QColor(247, 217, 184)};
    default:
        return {QColor(255, 236, 232), QColor(243, 199, 190)};
    }
}

QColor tint(DailyGrade::Letter letter, bool dark, bool highContrast) {
    const TintRow& row = tints[group(letter)];
    const QRgb rgb = dark ? (highContrast ? row.darkHighContrast : row.dark)
                          : (highContrast ? row.lightHighContrast : row.light);
    return QColor::fromRgb(rgb);
}

std::vector<CardLook::Stat> stats(const DailyTotals& day) {
    const double stretch = day.longestStretchSeconds > 0 ? day.longestStretchSeconds : day.activeSeconds;
    return {{text(Copy::duration(day.heatSeconds())), QStringLiteral("Hot time")},
            {QString::number(day.breaksTaken), QStringLiteral("Breaks")},
            {text(Copy::duration(stretch)), QStringLiteral("Longest stretch")}};
}

QString culpritLine(const Content& content) {
    return content.culprit ? PlainText::name(*content.culprit) : QStringLiteral("Nobody in particular.");
}

void paint(QPainter& painter, QSizeF size, const Content& content) {
    const Gradient gradient = background(content.grade.letter);
    CardLook::paintGradient(painter, size, gradient.top, gradient.bottom);
    const QRectF area =
        QRectF(QPointF(), size)
            .adjusted(CardLook::padding, CardLook::padding, -CardLook::padding, -CardLook::padding);
    painter.save();
    qreal y = area.top();

    // Header.
    const QFont title = CardText::font(16, QFont::DemiBold);
    const QFont date = CardText::font(14, QFont::Medium);
    const qreal headerHeight = QFontMetricsF(title).height();
    const QString dateText = content.dateText;
    const qreal dateWidth = std::min(area.width() / 2, QFontMetricsF(date).horizontalAdvance(dateText) + 1);
    painter.setPen(CardLook::ink(0.55));
    CardText::drawLine(painter, QRectF(area.right() - dateWidth, y, dateWidth, headerHeight),
                       Qt::AlignRight | Qt::AlignVCenter, date, dateText);
    painter.setPen(CardLook::ink(0.65));
    CardText::drawLine(painter, QRectF(area.left(), y, area.width() - dateWidth - 8, headerHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, title, QStringLiteral("Today's grade"));
    y += headerHeight + spacing;

    // The letter tile and the score beside it.
    const QRectF tile(area.left(), y, 210, 210);
    QPainterPath tileShape;
    tileShape.addRoundedRect(tile, 28, 28);
    painter.fillPath(tileShape, QColor(255, 255, 255, 140));
    painter.setPen(tint(content.grade.letter));
    painter.setFont(CardText::font(150, QFont::ExtraBold));
    painter.drawText(tile, Qt::AlignCenter, QString::fromLatin1(toString(content.grade.letter)));

    const qreal columnLeft = tile.right() + 22;
    const qreal columnWidth = area.right() - columnLeft;
    const QFont valueFont = CardText::font(72, QFont::ExtraBold);
    const QFont outOf = CardText::font(16, QFont::Medium);
    const QFont lineFont = CardText::font(18, QFont::Normal);
    const QString line = text(Copy::gradeLine(content.grade, content.personality));
    const qreal valueHeight = QFontMetricsF(valueFont).height();
    const qreal outOfHeight = QFontMetricsF(outOf).height();
    const int maxLines = 4;
    const qreal lineHeight = CardText::wrappedHeight(lineFont, line, columnWidth, maxLines);
    const qreal columnHeight = valueHeight + 6 + outOfHeight + 6 + lineHeight;
    qreal cy = tile.center().y() - columnHeight / 2;
    painter.setPen(CardLook::ink());
    CardText::drawLine(painter, QRectF(columnLeft, cy, columnWidth, valueHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, valueFont, QString::number(content.grade.value));
    cy += valueHeight + 6;
    painter.setPen(CardLook::ink(0.6));
    CardText::drawLine(painter, QRectF(columnLeft, cy, columnWidth, outOfHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, outOf, QStringLiteral("out of 100"));
    cy += outOfHeight + 6;
    painter.setPen(CardLook::ink());
    CardText::drawWrapped(painter, QRectF(columnLeft, cy, columnWidth, lineHeight), lineFont, line, maxLines);
    y = tile.bottom() + spacing;

    // Stats.
    CardLook::paintStats(painter, QRectF(area.left(), y, area.width(), CardLook::statRowHeight()),
                         stats(content.day));
    y += CardLook::statRowHeight() + spacing;

    // The main culprit.
    const QFont caption = CardText::font(11, QFont::DemiBold);
    const QFont name = CardText::font(20, QFont::DemiBold);
    painter.setPen(CardLook::ink(0.5));
    CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(caption).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, caption, QStringLiteral("MAIN CULPRIT"));
    y += QFontMetricsF(caption).height() + 4;
    painter.setPen(CardLook::ink());
    CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(name).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, name, culpritLine(content));

    // Footer, at the bottom.
    const QRectF pea(area.left(), area.bottom() - 42, 42, 42);
    CardLook::paintPea(painter, pea, face(FaceState::celebrating, HeatState::chill));
    painter.setPen(CardLook::ink(0.55));
    CardText::drawLine(painter, QRectF(pea.right() + 8, pea.top(), area.width() - 50, pea.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, CardText::font(12, QFont::Medium),
                       QStringLiteral("Halvrick · today's grade"));
    painter.restore();
}

} // namespace halvrick::GradeCard
