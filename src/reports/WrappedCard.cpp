#include "reports/WrappedCard.h"

#include "core/FaceState.h"
#include "core/PeaFace.h"
#include "model/Copy.h"
#include "sampling/AppIcons.h"
#include "ui/CardLook.h"
#include "ui/CardText.h"
#include "ui/PlainText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace halvrick {

namespace {

const QColor ink(31, 51, 21);
const QColor softInk(46, 74, 31);
constexpr qreal gap = 18;
constexpr qreal peaSide = 150;
constexpr qreal rowGap = 10;
constexpr qreal iconSide = 34;
constexpr qreal tilePadding = 14;
constexpr qreal footerSide = 22;

QFont titleFont() { return CardText::font(54, QFont::ExtraBold); }
QFont subtitleFont() { return CardText::font(17, QFont::Normal); }
QFont headingFont() { return CardText::font(15, QFont::DemiBold); }
QFont valueFont() { return CardText::font(28, QFont::ExtraBold); }
QFont labelFont() { return CardText::font(13, QFont::Normal); }

qreal lineHeight(const QFont& font) { return QFontMetricsF(font).height(); }

QColor withOpacity(QColor colour, qreal opacity) {
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

qreal tileHeight() { return 2 * tilePadding + lineHeight(valueFont()) + 2 + lineHeight(labelFont()); }

qreal width() { return WrappedCard::size.width() - 2 * WrappedCard::padding; }

void drawTile(QPainter& painter, const QRectF& tile, const QString& value, const QString& label) {
    QPainterPath shape;
    shape.addRoundedRect(tile, 14, 14);
    painter.fillPath(shape, QColor(255, 255, 255, 140));
    const QRectF inner = tile.adjusted(tilePadding, tilePadding, -tilePadding, -tilePadding);
    painter.setPen(ink);
    CardText::drawLine(painter, QRectF(inner.left(), inner.top(), inner.width(), lineHeight(valueFont())),
                       Qt::AlignLeft | Qt::AlignVCenter, valueFont(), value, 0.6);
    painter.setPen(withOpacity(ink, 0.75));
    CardText::drawLine(painter,
                       QRectF(inner.left(), inner.top() + lineHeight(valueFont()) + 2, inner.width(),
                              lineHeight(labelFont())),
                       Qt::AlignLeft | Qt::AlignVCenter, labelFont(), label, 0.8);
}

} // namespace

WrappedCardData WrappedCardData::of(const WrappedSummary& summary, const Calendar& calendar,
                                    std::vector<QIcon> icons) {
    return {summary, QString::fromStdString(Copy::wrappedRange(summary.firstDay, summary.lastDay, calendar)),
            std::move(icons)};
}

namespace WrappedCard {

QString title(const WrappedSummary& summary) {
    if (summary.hotSeconds < 60) {
        return QStringLiteral("Cool all week");
    }
    return QString::fromStdString(Copy::duration(summary.hotSeconds));
}

QString subtitle(const WrappedSummary& summary) {
    if (summary.hotSeconds < 60) {
        return QStringLiteral("I barely broke a sweat. Love this for us.");
    }
    QString text = QStringLiteral("spent sweating or melting this week");
    if (summary.meltdownSeconds >= 60) {
        text += QStringLiteral(", ") + QString::fromStdString(Copy::duration(summary.meltdownSeconds)) +
                QStringLiteral(" of it in full meltdown");
    }
    return text;
}

QString culpritLine(const WrappedSummary::Culprit& culprit) {
    return PlainText::name(culprit.app.displayName) +
           QString::fromStdString(" made me sweat " + Copy::duration(culprit.sweatSeconds));
}

QString breaksValue(const WrappedSummary& summary) {
    if (summary.breaksAsked == 0) {
        return QStringLiteral("None");
    }
    return QStringLiteral("%1 of %2").arg(summary.breaksTaken).arg(summary.breaksAsked);
}

QString breaksLabel(const WrappedSummary& summary) {
    return summary.breaksAsked == 0 ? QStringLiteral("breaks needed this week")
                                    : QStringLiteral("breaks taken, of the ones I asked for");
}

Layout layout(const WrappedSummary& summary) {
    const qreal subtitleHeight = CardText::wrappedHeight(subtitleFont(), subtitle(summary), width(), 2);
    const std::size_t rows = std::max<std::size_t>(summary.culprits.size(), 1);
    const qreal rowHeight = summary.culprits.empty() ? lineHeight(CardText::font(18, QFont::Normal)) : iconSide;
    const qreal culpritsHeight = lineHeight(headingFont()) + static_cast<qreal>(rows) * (rowGap + rowHeight);
    // Five gaps: between the header, headline, culprits, tiles, the spacer and the footer.
    const qreal stack = peaSide + lineHeight(titleFont()) + 2 + subtitleHeight + culpritsHeight +
                        tileHeight() + footerSide + 5 * gap;
    // A stack taller than the room inside the padding keeps its sizes: the spacer closes and the stack,
    // centred on the card, reaches into the padding.
    const qreal room = size.height() - 2 * padding;
    const qreal top = stack <= room ? padding : (size.height() - stack) / 2;

    Layout result;
    qreal y = top;
    result.pea = QRectF(padding, y, peaSide, peaSide);
    y += peaSide + gap;
    result.title = QRectF(padding, y, width(), lineHeight(titleFont()));
    y = result.title.bottom() + 2;
    result.subtitle = QRectF(padding, y, width(), subtitleHeight);
    y = result.subtitle.bottom() + gap;
    result.culpritsHeading = QRectF(padding, y, width(), lineHeight(headingFont()));
    y = result.culpritsHeading.bottom();
    for (std::size_t i = 0; i < rows; ++i) {
        y += rowGap;
        result.culpritRows.emplace_back(padding, y, width(), rowHeight);
        y += rowHeight;
    }
    result.tiles = QRectF(padding, y + gap, width(), tileHeight());
    const qreal bottom = stack <= room ? size.height() - padding : top + stack;
    result.footer = QRectF(padding, bottom - footerSide, width(), footerSide);
    return result;
}

void paint(QPainter& painter, QSizeF area, const WrappedCardData& data) {
    if (area.isEmpty()) {
        return;
    }
    const WrappedSummary& summary = data.summary;
    painter.save();
    painter.scale(area.width() / size.width(), area.height() / size.height());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);

    const QRectF card(QPointF(0, 0), size);
    QLinearGradient background(QPointF(card.center().x(), 0), QPointF(card.center().x(), card.bottom()));
    background.setColorAt(0, QColor(244, 251, 233));
    background.setColorAt(1, QColor(205, 235, 169));
    painter.fillRect(card, background);

    const Layout parts = layout(summary);
    CardLook::paintPea(painter, parts.pea, face(FaceState::celebrating, HeatState::chill));

    const QFont nameFont = CardText::font(40, QFont::ExtraBold);
    const QFont rangeFont = CardText::font(17, QFont::Medium);
    const qreal headerLeft = parts.pea.right() + 18;
    const qreal headerWidth = size.width() - padding - headerLeft;
    const qreal headerTextHeight = lineHeight(nameFont) + 4 + lineHeight(rangeFont);
    const qreal headerTop = parts.pea.center().y() - headerTextHeight / 2;
    painter.setPen(ink);
    CardText::drawLine(painter, QRectF(headerLeft, headerTop, headerWidth, lineHeight(nameFont)),
                       Qt::AlignLeft | Qt::AlignVCenter, nameFont, QStringLiteral("Zurez Erazuri"), 0.6);
    painter.setPen(withOpacity(softInk, 0.7));
    CardText::drawLine(painter,
                       QRectF(headerLeft, headerTop + lineHeight(nameFont) + 4, headerWidth, lineHeight(rangeFont)),
                       Qt::AlignLeft | Qt::AlignVCenter, rangeFont, data.range);

    painter.setPen(ink);
    CardText::drawLine(painter, parts.title, Qt::AlignLeft | Qt::AlignVCenter, titleFont(), title(summary), 0.6);
    CardText::drawWrapped(painter, parts.subtitle, subtitleFont(), subtitle(summary), 2);

    painter.setPen(withOpacity(softInk, 0.7));
    CardText::drawLine(painter, parts.culpritsHeading, Qt::AlignLeft | Qt::AlignVCenter, headingFont(),
                       QStringLiteral("WHO MADE ME SWEAT"));
    painter.setPen(ink);
    if (summary.culprits.empty()) {
        CardText::drawLine(painter, parts.culpritRows.front(), Qt::AlignLeft | Qt::AlignVCenter,
                           CardText::font(18, QFont::Normal), QStringLiteral("Nobody. A perfectly chill week."));
    }
    for (std::size_t i = 0; i < summary.culprits.size(); ++i) {
        const WrappedSummary::Culprit& culprit = summary.culprits[i];
        const QRectF& row = parts.culpritRows[i];
        const QIcon given = i < data.icons.size() ? data.icons[i] : QIcon();
        const QIcon icon = given.isNull() ? AppIcons::paintedIcon(culprit.app.displayName) : given;
        painter.drawImage(QRectF(row.left(), row.top(), iconSide, iconSide),
                          AppIcons::render(icon, static_cast<int>(iconSide * 2)));
        CardText::drawLine(painter, row.adjusted(iconSide + 12, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                           CardText::font(19, i == 0 ? QFont::Bold : QFont::Normal), culpritLine(culprit));
    }

    const qreal tileWidth = (parts.tiles.width() - 14) / 2;
    drawTile(painter, QRectF(parts.tiles.left(), parts.tiles.top(), tileWidth, parts.tiles.height()),
             breaksValue(summary), breaksLabel(summary));
    drawTile(painter, QRectF(parts.tiles.right() - tileWidth, parts.tiles.top(), tileWidth, parts.tiles.height()),
             QString::fromStdString(Copy::duration(summary.longestStretchSeconds)),
             QStringLiteral("longest stretch without a break"));

    painter.setPen(ink);
    const qreal brandRight =
        CardLook::paintSignature(painter, parts.footer, footerSide, 6, CardText::font(15, QFont::Bold));
    painter.setPen(withOpacity(ink, 0.6));
    CardText::drawLine(painter, parts.footer.adjusted(brandRight - parts.footer.left() + 6, 0, 0, 0),
                       Qt::AlignRight | Qt::AlignVCenter, CardText::font(11, QFont::Normal),
                       QStringLiteral("No analytics. Your CPU data never leaves this computer."), 0.8);
    painter.restore();
}

} // namespace WrappedCard

WrappedCardWidget::WrappedCardWidget(WrappedCardData data, QWidget* parent)
    : QWidget(parent), data_(std::move(data)) {
    setFixedSize(WrappedCard::size.toSize());
}

void WrappedCardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    WrappedCard::paint(painter, size(), data_);
}

} // namespace halvrick
