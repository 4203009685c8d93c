#include "reports/SweatCalendarView.h"

#include "core/HeatLevel.h"
#include "core/StatsLedger.h"
#include "model/Copy.h"
#include "ui/HistoryDates.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace halvrick {

namespace SweatCalendarPainting {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QFont labelFont(QFont::Weight weight) {
    QFont font;
    font.setPixelSize(11);
    font.setWeight(weight);
    return font;
}

// Text whose left edge is at x and whose middle is at y.
void drawLeading(QPainter& painter, qreal x, qreal y, const QString& label) {
    const qreal height = QFontMetricsF(painter.font()).height();
    painter.drawText(QRectF(x, y - height / 2, 200, height), Qt::AlignLeft | Qt::AlignVCenter, label);
}

} // namespace

QColor heatColour(int level, const QPalette& palette) {
    constexpr std::array<double, HeatLevel::count> opacities{0, 0.38, 0.54, 0.70, 0.86, 1};
    if (level <= 0) {
        return Theme::text(Theme::Tone::secondary, palette, 0.12);
    }
    return Theme::colour(Theme::Colour::orange, palette,
                         opacities[static_cast<std::size_t>(std::min(level, 5))]);
}

void paint(QPainter& painter, qreal width, const std::vector<CalendarWeek>& weeks, const Geometry& geometry,
           const std::string& todayKey, const Calendar& calendar, const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor secondary = Theme::text(Theme::Tone::secondary, palette);
    const qreal step = geometry.cell + geometry.gap;
    const qreal half = geometry.cell * 0.5;

    painter.setPen(secondary);
    painter.setFont(labelFont(QFont::Normal));
    drawLeading(painter, 0, geometry.topInset + step + half, QStringLiteral("Mon"));
    drawLeading(painter, 0, geometry.topInset + 3 * step + half, QStringLiteral("Wed"));
    drawLeading(painter, 0, geometry.topInset + 5 * step + half, QStringLiteral("Fri"));

    painter.setFont(labelFont(QFont::Medium));
    int lastMonth = -1;
    int lastLabelled = -99;
    QPen ring(Theme::text(Theme::Tone::primary, palette, 0.75), 1);
    for (std::size_t c = 0; c < weeks.size(); ++c) {
        const auto column = static_cast<int>(c);
        const qreal x = geometry.leftInset + column * step;
        const CalendarWeek& week = weeks[c];
        const auto first =
            std::find_if(week.days.begin(), week.days.end(), [](const auto& d) { return d.has_value(); });
        if (first != week.days.end()) {
            const int month = calendar.components((*first)->date).month;
            if (month != lastMonth) {
                const QString name = HistoryDates::format((*first)->date, calendar, HistoryDates::shortMonth);
                if (column - lastLabelled >= 3 &&
                    x + QFontMetricsF(painter.font()).horizontalAdvance(name) <= width) {
                    painter.setPen(secondary);
                    drawLeading(painter, x, 3, name);
                    lastLabelled = column;
                }
                lastMonth = month;
            }
        }
        for (std::size_t r = 0; r < week.days.size(); ++r) {
            const auto& day = week.days[r];
            if (!day) {
                continue;
            }
            const QRectF square(x, geometry.topInset + static_cast<qreal>(r) * step, geometry.cell,
                                geometry.cell);
            QPainterPath path;
            path.addRoundedRect(square, 2, 2);
            painter.fillPath(path, heatColour(HeatLevel::of(day->heatSeconds()), palette));
            if (day->day == todayKey) {
                painter.setPen(ring);
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(path);
            }
        }
    }
    painter.restore();
}

QString summary(const std::vector<DailyTotals>& days, const Calendar& calendar) {
    std::int64_t hotDays = 0;
    double total = 0;
    const DailyTotals* worst = nullptr;
    for (const DailyTotals& day : days) {
        const double heat = day.heatSeconds();
        if (heat > 0) {
            ++hotDays;
            total += heat;
        }
        if (!worst || heat > worst->heatSeconds()) {
            worst = &day;
        }
    }
    QStringList sentences{QString::number(hotDays) + QStringLiteral(" days with sweat."),
                          text(Copy::duration(total)) + QStringLiteral(" in total.")};
    if (worst && worst->heatSeconds() > 0) {
        sentences << QStringLiteral("Worst day ") +
                         HistoryDates::format(worst->date, calendar, HistoryDates::longDay) +
                         QStringLiteral(", ") + text(Copy::duration(worst->heatSeconds())) +
                         QStringLiteral(".");
    }
    return sentences.join(QLatin1Char(' '));
}

QStringList dayLines(const std::vector<DailyTotals>& days, const Calendar& calendar) {
    QStringList lines;
    for (const DailyTotals& day : days) {
        if (day.heatSeconds() > 0) {
            lines << HistoryDates::format(day.date, calendar, HistoryDates::longDay) + QStringLiteral(": ") +
                         text(Copy::duration(day.heatSeconds()));
        }
    }
    return lines;
}

} // namespace SweatCalendarPainting

SweatCalendarView::SweatCalendarView(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("The sweat calendar"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SweatCalendarView::setDays(std::vector<DailyTotals> days, Date now, const Calendar& calendar) {
    calendar_ = calendar;
    todayKey_ = StatsLedger::dayKey(now, calendar);
    weeks_ = SweatCalendar::weeks(days, now, calendar);
    QStringList description{SweatCalendarPainting::summary(days, calendar)};
    description << SweatCalendarPainting::dayLines(days, calendar);
    setAccessibleDescription(description.join(QLatin1Char('\n')));
    update();
}

QSize SweatCalendarView::sizeHint() const {
    return {qCeil(geometry_.width(SweatCalendar::weekCount)), qCeil(geometry_.height())};
}

QSize SweatCalendarView::minimumSizeHint() const {
    return sizeHint();
}

void SweatCalendarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    SweatCalendarPainting::paint(painter, width(), weeks_, geometry_, todayKey_, calendar_, palette());
}

} // namespace halvrick
