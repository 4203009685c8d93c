#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/StatsQueries.h"
#include "core/SweatCalendar.h"

#include <QColor>
#include <QPalette>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QPainter;

namespace halvrick {

// The year heatmap of the history: a rounded square per day of the last 365, weeks as columns and
// weekdays as rows from Sunday, shaded by the day's hot time, month names above, "Mon", "Wed" and "Fri"
// beside, today ringed.
namespace SweatCalendarPainting {

struct Geometry {
    qreal cell = 9;
    qreal gap = 3;
    qreal leftInset = 30;
    qreal topInset = 17;

    // (cell + gap) x 7 + topInset - gap.
    qreal height() const { return (cell + gap) * 7 + topInset - gap; }
    qreal width(std::size_t weeks) const {
        return leftInset + static_cast<qreal>(weeks) * (cell + gap) - gap;
    }
};

// The shade of a heat level 0...5 in the palette's appearance.
QColor heatColour(int level, const QPalette& palette);

// `todayKey`: the day key of today, ringed when shown. A month name that would run past `width` is
// left out rather than cut.
void paint(QPainter& painter, qreal width, const std::vector<CalendarWeek>& weeks, const Geometry& geometry,
           const std::string& todayKey, const Calendar& calendar, const QPalette& palette);

// "12 days with sweat. 3 h 5 min in total. Worst day March 9, 1 h 2 min."
QString summary(const std::vector<DailyTotals>& days, const Calendar& calendar);
// "March 9: 1 h 2 min" for each day with heat, in order.
QStringList dayLines(const std::vector<DailyTotals>& days, const Calendar& calendar);

} // namespace SweatCalendarPainting

// The heatmap on screen. Its accessible name is "The sweat calendar" and its description the summary
// followed by one line per hot day.
class SweatCalendarView : public QWidget {
public:
    explicit SweatCalendarView(QWidget* parent = nullptr);

    // The days of the last 365, any order; `now` and `calendar` place them and today.
    void setDays(std::vector<DailyTotals> days, Date now, const Calendar& calendar);
    const std::vector<CalendarWeek>& weeks() const { return weeks_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SweatCalendarPainting::Geometry geometry_;
    std::vector<CalendarWeek> weeks_;
    std::string todayKey_;
    Calendar calendar_;
};

} // namespace halvrick
