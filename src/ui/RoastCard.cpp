#include "ui/RoastCard.h"

#include "core/PeaFace.h"
#include "model/Copy.h"
#include "sampling/AppIcons.h"
#include "ui/CardLook.h"
#include "ui/CardText.h"
#include "ui/HistoryDates.h"
#include "ui/PlainText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace halvrick::RoastCard {

namespace {

const QColor ink(255, 243, 226);
constexpr qreal spacing = 18;
constexpr qreal headerHeight = 17;
constexpr qreal peaGap = 18;
constexpr qreal headlineGap = 8;
constexpr qreal boxPadding = 14;
constexpr qreal iconSide = 46;
constexpr qreal footerSide = 24;
constexpr int headlinePixels = 40;
constexpr int smallestHeadlinePixels = 22;
constexpr qreal headlineLineGap = -2;

QString headline(const RoastCardData& data) {
    return PlainText::shown(Copy::roastHeadline(data.app.displayName, data.state, data.personality));
}

QString subhead(const RoastCardData& data) { return QString::fromStdString(Copy::roastSubhead(data.cpuLoad)); }

QFont subheadFont() { return CardText::font(17, QFont::Medium); }

qreal boxHeight() { return iconSide + 2 * boxPadding; }

QColor inkAt(qreal opacity) {
    QColor colour = ink;
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

} // namespace

Layout layout(const RoastCardData& data) {
    Layout result;
    const qreal width = size.width() - 2 * padding;
    result.header = QRectF(padding, padding, width, headerHeight);
    result.footer = QRectF(padding, size.height() - padding - footerSide, width, footerSide);

    const qreal top = result.header.bottom() + spacing;
    const qreal columnLeft = padding + peaSide + peaGap;
    const qreal columnWidth = size.width() - padding - columnLeft;
    const qreal subheadHeight = CardText::wrappedHeight(subheadFont(), subhead(data), columnWidth, 2);
    // The box may sit no lower than a spacing above the footer.
    const qreal lowestBoxTop = result.footer.top() - spacing - boxHeight();
    const qreal roomForHeadline = lowestBoxTop - spacing - top - headlineGap - subheadHeight;

    const QString text = headline(data);
    for (int pixels = headlinePixels;; pixels -= 2) {
        result.headlineFont = CardText::font(pixels, QFont::ExtraBold);
        int lines = CardText::lineCount(result.headlineFont, text, columnWidth, 0);
        const bool fits =
            CardText::linesHeight(result.headlineFont, lines, headlineLineGap) <= roomForHeadline;
        if (!fits && pixels - 2 >= smallestHeadlinePixels) {
            continue;
        }
        if (!fits) {
            // Only a name of hundreds of letters gets here: the lines that fit, the last one cut.
            const qreal step = QFontMetricsF(result.headlineFont).lineSpacing() + headlineLineGap;
            lines = std::max(1, static_cast<int>(std::floor((roomForHeadline + headlineLineGap) / step)));
        }
        result.headlineLines = lines;
        const qreal headlineHeight = CardText::linesHeight(result.headlineFont, lines, headlineLineGap);
        // The pea and the text beside it are centred on one another.
        const qreal columnHeight = headlineHeight + headlineGap + subheadHeight;
        const qreal rowHeight = std::max(peaSide, columnHeight);
        result.pea = QRectF(padding, top + (rowHeight - peaSide) / 2, peaSide, peaSide);
        result.headline =
            QRectF(columnLeft, top + (rowHeight - columnHeight) / 2, columnWidth, headlineHeight);
        result.subhead =
            QRectF(columnLeft, result.headline.bottom() + headlineGap, columnWidth, subheadHeight);
        result.appBox =
            QRectF(padding, std::min(top + rowHeight + spacing, lowestBoxTop), width, boxHeight());
        return result;
    }
}

QString dateText(Date date, const Calendar& calendar) {
    return HistoryDates::dateAndTime(date, calendar);
}

void paint(QPainter& painter, QSizeF area, const RoastCardData& data) {
    if (area.isEmpty()) {
        return;
    }
    painter.save();
    painter.scale(area.width() / size.width(), area.height() / size.height());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);

    const QRectF card(QPointF(0, 0), size);
    QLinearGradient background(card.topLeft(), card.bottomRight());
    background.setColorAt(0, QColor(39, 18, 8));
    background.setColorAt(1, QColor(127, 59, 16));
    painter.fillRect(card, background);

    const Layout parts = layout(data);

    QFont caps = CardText::font(13, QFont::ExtraBold);
    caps.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    painter.setPen(inkAt(0.6));
    CardText::drawLine(painter, parts.header, Qt::AlignLeft | Qt::AlignVCenter, caps, QStringLiteral("CURRENT ROAST"));
    CardText::drawLine(painter, parts.header, Qt::AlignRight | Qt::AlignVCenter, CardText::font(13, QFont::Medium),
                       data.dateText);

    CardLook::paintPea(painter, parts.pea, PeaFace::heat(data.state));

    painter.setPen(ink);
    CardText::drawWrapped(painter, parts.headline, parts.headlineFont, headline(data), parts.headlineLines,
                          headlineLineGap);
    painter.setPen(inkAt(0.7));
    CardText::drawWrapped(painter, parts.subhead, subheadFont(), subhead(data), 2);

    QPainterPath box;
    box.addRoundedRect(parts.appBox, 14, 14);
    painter.fillPath(box, QColor(255, 255, 255, 23));
    const QRectF icon(parts.appBox.left() + boxPadding, parts.appBox.top() + boxPadding, iconSide, iconSide);
    const QIcon shown = data.icon.isNull() ? AppIcons::paintedIcon(data.app.displayName) : data.icon;
    painter.drawImage(icon, AppIcons::render(shown, static_cast<int>(iconSide * 2)));
    const qreal textLeft = icon.right() + 12;
    const QRectF textArea(textLeft, icon.top(), parts.appBox.right() - boxPadding - textLeft, iconSide);
    const QFont nameFont = CardText::font(21, QFont::Bold);
    const QFont shareFont = CardText::font(14, QFont::Normal);
    const qreal nameHeight = QFontMetricsF(nameFont).height();
    const qreal shareHeight = QFontMetricsF(shareFont).height();
    const qreal textTop = textArea.center().y() - (nameHeight + 2 + shareHeight) / 2;
    painter.setPen(ink);
    CardText::drawLine(painter, QRectF(textArea.left(), textTop, textArea.width(), nameHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, nameFont, PlainText::name(data.app.displayName));
    painter.setPen(inkAt(0.7));
    CardText::drawLine(painter, QRectF(textArea.left(), textTop + nameHeight + 2, textArea.width(), shareHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, shareFont,
                       QString::fromStdString(Copy::percent(data.share)) +
                           QStringLiteral(" of my computer. Personally."));

    painter.setPen(ink);
    CardLook::paintSignature(painter, parts.footer, footerSide, 8, CardText::font(16, QFont::Bold));
    painter.restore();
}

} // namespace halvrick::RoastCard

namespace halvrick {

RoastCardWidget::RoastCardWidget(RoastCardData data, QWidget* parent) : QWidget(parent), data_(std::move(data)) {
    setFixedSize(RoastCard::size.toSize());
}

void RoastCardWidget::setData(RoastCardData data) {
    data_ = std::move(data);
    update();
}

void RoastCardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RoastCard::paint(painter, size(), data_);
}

} // namespace halvrick
