#pragma once

#include "core/Calendar.h"
#include "core/HistoryChart.h"

#include <QPalette>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

class QPainter;

namespace halvrick {

// "Heat over time": a stacked bar per day, sweating (yellow) under meltdown (orange), in minutes, the
// legend at the top left, minute marks on the right under "min" and about six date marks below.
namespace HistoryChartPainting {

struct Content {
    std::vector<HistoryChart::Bar> bars;
    // A date mark: the day's index and its "MMM d".
    std::vector<std::pair<std::size_t, QString>> ticks;
};

Content make(const std::vector<DailyTotals>& days, const Calendar& calendar);
void paint(QPainter& painter, QSizeF size, const Content& content, const QPalette& palette);

} // namespace HistoryChartPainting

class HistoryChartView : public QWidget {
public:
    static constexpr int chartHeight = 210;

    explicit HistoryChartView(QWidget* parent = nullptr);

    void setContent(HistoryChartPainting::Content content);
    const HistoryChartPainting::Content& content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HistoryChartPainting::Content content_;
};

} // namespace halvrick
