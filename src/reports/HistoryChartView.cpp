#include "reports/HistoryChartView.h"

#include "model/Copy.h"
#include "ui/HistoryDates.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace halvrick {

namespace HistoryChartPainting {

namespace {

QFont smallFont() {
    QFont font;
    font.setPixelSize(10);
    return font;
}

QString minuteLabel(double minutes) {
    return QString::number(minutes, 'g', 6);
}

} // namespace

Content make(const std::vector<DailyTotals>& days, const Calendar& calendar) {
    Content content;
    content.bars = HistoryChart::bars(days);
    for (const std::size_t index : HistoryChart::tickIndices(days.size())) {
        content.ticks.emplace_back(index,
                                   HistoryDates::format(days[index].date, calendar, HistoryDates::shortDay));
    }
    return content;
}

void paint(QPainter& painter, QSizeF size, const Content& content, const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = smallFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const QColor yellow = Theme::colour(Theme::Colour::yellow, palette);
    const QColor orange = Theme::colour(Theme::Colour::orange, palette);
    const QColor secondary = Theme::text(Theme::Tone::secondary, palette);
    const QColor grid = Theme::text(Theme::Tone::secondary, palette, 0.35);

    // Legend, top left.
    const qreal legendHeight = metrics.height();
    qreal x = 0;
    for (const auto& [name, colour] :
         {std::pair{Copy::historyHeat, yellow}, std::pair{Copy::historyMeltdown, orange}}) {
        const QString label = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(x, legendHeight / 2 - 4, 8, 8));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(secondary);
        painter.drawText(QRectF(x + 12, 0, 200, legendHeight), Qt::AlignLeft | Qt::AlignVCenter, label);
        x += 12 + metrics.horizontalAdvance(label) + 14;
    }

    double largest = 0;
    for (const HistoryChart::Bar& bar : content.bars) {
        largest = std::max(largest, bar.totalMinutes());
    }
    const std::vector<double> values = HistoryChart::valueTicks(largest);
    const double top = values.back();
    qreal labelWidth = metrics.horizontalAdvance(QStringLiteral("min"));
    for (const double value : values) {
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(minuteLabel(value)));
    }
    // Room above the plot for "min" over the top mark's label, and below it for the dates.
    const qreal plotTop = legendHeight + 8 + metrics.height() * 1.5 + 2;
    const QRectF plot(0, plotTop, std::max<qreal>(1, size.width() - labelWidth - 6),
                      std::max<qreal>(1, size.height() - plotTop - metrics.height() - 4));
    const auto yOf = [&](double minutes) { return plot.bottom() - minutes / top * plot.height(); };

    // Minute marks on the right, "min" above them.
    painter.setPen(secondary);
    painter.drawText(
        QRectF(plot.right() + 6, plot.top() - metrics.height() * 1.5 - 2, labelWidth, metrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("min"));
    for (const double value : values) {
        const qreal y = yOf(value);
        painter.setPen(QPen(grid, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(secondary);
        painter.drawText(QRectF(plot.right() + 6, y - metrics.height() / 2, labelWidth, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, minuteLabel(value));
    }

    // Bars: one slot per day, the bar a little narrower than its slot while there is room.
    const auto count = static_cast<qreal>(std::max<std::size_t>(content.bars.size(), 1));
    const qreal slot = plot.width() / count;
    const qreal barWidth = slot >= 3 ? slot * 0.7 : slot;
    const auto slotCentre = [&](std::size_t index) {
        return plot.left() + (static_cast<qreal>(index) + 0.5) * slot;
    };

    // Date marks: a grid line through the day and its date below; a date that would run into the one
    // before it is left out, and the last keeps inside the chart.
    qreal lastLabelRight = -1e9;
    for (const auto& [index, label] : content.ticks) {
        const qreal cx = slotCentre(index);
        painter.setPen(QPen(grid, 0));
        painter.drawLine(QPointF(cx, plot.top()), QPointF(cx, plot.bottom()));
        const qreal width = metrics.horizontalAdvance(label);
        const qreal left = std::clamp(cx - width / 2, 0.0, std::max(0.0, plot.right() - width));
        if (left < lastLabelRight + 6) {
            continue;
        }
        painter.setPen(secondary);
        painter.drawText(QRectF(left, plot.bottom() + 4, width + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
        lastLabelRight = left + width;
    }

    painter.setRenderHint(QPainter::Antialiasing, slot >= 3);
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < content.bars.size(); ++i) {
        const HistoryChart::Bar& bar = content.bars[i];
        if (bar.totalMinutes() <= 0) {
            continue;
        }
        const qreal left = slotCentre(i) - barWidth / 2;
        const qreal sweatTop = yOf(bar.sweatingMinutes);
        const qreal meltTop = yOf(bar.totalMinutes());
        const qreal radius = slot >= 6 ? 2 : 0;
        if (bar.sweatingMinutes > 0) {
            painter.setBrush(yellow);
            painter.drawRoundedRect(QRectF(left, sweatTop, barWidth, plot.bottom() - sweatTop), radius,
                                    radius);
        }
        if (bar.meltdownMinutes > 0) {
            painter.setBrush(orange);
            painter.drawRoundedRect(QRectF(left, meltTop, barWidth, sweatTop - meltTop), radius, radius);
        }
    }
    painter.restore();
}

} // namespace HistoryChartPainting

HistoryChartView::HistoryChartView(QWidget* parent) : QWidget(parent) {
    setFixedHeight(chartHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Heat over time"));
}

void HistoryChartView::setContent(HistoryChartPainting::Content content) {
    content_ = std::move(content);
    update();
}

void HistoryChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    HistoryChartPainting::paint(painter, size(), content_, palette());
}

} // namespace halvrick
