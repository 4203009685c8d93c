#include "reports/ReportCard.h"

#include "core/FaceState.h"
#include "model/Copy.h"
#include "reports/CulpritKey.h"
#include "ui/CardText.h"
#include "ui/PlainText.h"

#include <QFontMetricsF>
#include <QPainter>

namespace halvrick::ReportCard {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

constexpr qreal spacing = 16;

} // namespace

Content make(ReportPeriod period, const StatsTotals& totals, Date now, const Calendar& calendar,
             const IconSource& icons) {
    Content content;
    content.title = text(Copy::reportTitle(period, now, calendar));
    if (totals.firstDay && totals.lastDay) {
        content.range = text(Copy::wrappedRange(*totals.firstDay, *totals.lastDay, calendar));
    }
    content.hotTime = text(Copy::duration(totals.sweatingSeconds + totals.meltdownSeconds));
    content.stats = {{text(Copy::duration(totals.meltdownSeconds)), QStringLiteral("IN MELTDOWN")},
                     {text(Copy::duration(totals.activeSeconds)), QStringLiteral("AT THE COMPUTER")},
                     {QString::number(totals.breaksTaken), QStringLiteral("BREAKS TAKEN")},
                     {QString::number(totals.dayCount), QStringLiteral("DAYS TRACKED")}};
    content.heading =
        period == ReportPeriod::allTime ? QStringLiteral("HALL OF FLAME") : QStringLiteral("TOP CULPRITS");
    for (std::size_t i = 0; i < std::min(culpritCount, totals.culprits.size()); ++i) {
        const StatsTotals::Culprit& culprit = totals.culprits[i];
        content.culprits.push_back(
            {PlainText::name(culprit.name), text(Copy::duration(culprit.sweatSeconds)),
             icons ? icons(culpritKey(culprit.id, culprit.name), iconSize * 2) : QImage()});
    }
    return content;
}

void paint(QPainter& painter, QSizeF size, const Content& content) {
    CardLook::paintGradient(painter, size, QColor(235, 246, 255), QColor(201, 228, 245));
    const QRectF area =
        QRectF(QPointF(), size)
            .adjusted(CardLook::padding, CardLook::padding, -CardLook::padding, -CardLook::padding);
    painter.save();
    qreal y = area.top();

    // Header: the pea, then the title (two lines at most, shrinking to 0.8) over the range.
    const QRectF pea(area.left(), y, 118, 118);
    CardLook::paintPea(painter, pea, face(FaceState::celebrating, HeatState::chill));
    const qreal textLeft = pea.right() + 16;
    const qreal textWidth = area.right() - textLeft;
    QFont title = CardText::font(34, QFont::ExtraBold);
    const int smallest = qRound(34 * 0.8);
    while (title.pixelSize() > smallest && CardText::wrappedHeight(title, content.title, textWidth, 3) >
                                               2 * QFontMetricsF(title).lineSpacing()) {
        title.setPixelSize(title.pixelSize() - 1);
    }
    const QFont range = CardText::font(15, QFont::Medium);
    const qreal titleHeight = CardText::wrappedHeight(title, content.title, textWidth, 2);
    const qreal rangeHeight = QFontMetricsF(range).height();
    const qreal blockHeight = titleHeight + 4 + rangeHeight;
    qreal ty = pea.center().y() - blockHeight / 2;
    painter.setPen(CardLook::ink());
    CardText::drawWrapped(painter, QRectF(textLeft, ty, textWidth, titleHeight), title, content.title, 2);
    ty += titleHeight + 4;
    painter.setPen(CardLook::ink(0.65));
    CardText::drawLine(painter, QRectF(textLeft, ty, textWidth, rangeHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, range, content.range);
    y = pea.bottom() + spacing;

    // The hot time.
    const QFont hot = CardText::font(58, QFont::ExtraBold);
    const QFont hotLabel = CardText::font(13, QFont::DemiBold);
    painter.setPen(CardLook::ink());
    CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(hot).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, hot, content.hotTime, 0.6);
    y += QFontMetricsF(hot).height() + 2;
    painter.setPen(CardLook::ink(0.65));
    CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(hotLabel).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, hotLabel, QStringLiteral("HOT TIME"));
    y += QFontMetricsF(hotLabel).height() + spacing;

    CardLook::paintStats(painter, QRectF(area.left(), y, area.width(), CardLook::statRowHeight()),
                         content.stats);
    y += CardLook::statRowHeight() + spacing;

    // Culprits.
    painter.setPen(CardLook::ink(0.65));
    CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(hotLabel).height()),
                       Qt::AlignLeft | Qt::AlignVCenter, hotLabel, content.heading);
    y += QFontMetricsF(hotLabel).height() + 8;
    if (content.culprits.empty()) {
        const QFont nobody = CardText::font(17, QFont::Normal);
        painter.setPen(CardLook::ink());
        CardText::drawLine(painter, QRectF(area.left(), y, area.width(), QFontMetricsF(nobody).height()),
                           Qt::AlignLeft | Qt::AlignVCenter, nobody,
                           QStringLiteral("Nobody. A very chill period."));
    }
    const QFont duration = CardText::font(16, QFont::Normal);
    for (std::size_t i = 0; i < content.culprits.size(); ++i) {
        const Culprit& culprit = content.culprits[i];
        const QRectF icon(area.left(), y, iconSize, iconSize);
        if (!culprit.icon.isNull()) {
            painter.drawImage(icon, culprit.icon);
        }
        const qreal durationWidth = QFontMetricsF(duration).horizontalAdvance(culprit.duration) + 2;
        painter.setPen(CardLook::ink(0.7));
        CardText::drawLine(painter, QRectF(area.right() - durationWidth, y, durationWidth, iconSize),
                           Qt::AlignRight | Qt::AlignVCenter, duration, culprit.duration);
        painter.setPen(CardLook::ink());
        const qreal nameLeft = icon.right() + 10;
        CardText::drawLine(painter,
                           QRectF(nameLeft, y, area.right() - durationWidth - 10 - nameLeft, iconSize),
                           Qt::AlignLeft | Qt::AlignVCenter,
                           CardText::font(18, i == 0 ? QFont::Bold : QFont::Normal), culprit.name);
        y += iconSize + 8;
    }
    painter.restore();
}

} // namespace halvrick::ReportCard
