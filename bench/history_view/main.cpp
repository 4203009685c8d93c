// The history window over 13 months of dozens of applications: how long one period switch takes, from
// the picker's click to the finished frame, and how much of it the ledger's queries are. A switch
// should fit in one frame (16 ms).

#include "../../tests/reports/HistoryFixture.h"

#include "model/ReportPeriod.h"
#include "reports/HistoryView.h"
#include "ui/SegmentedControl.h"

#include <QApplication>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace halvrick;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Timing {
    std::vector<double> samples;

    void add(double ms) { samples.push_back(ms); }
    double median() {
        std::sort(samples.begin(), samples.end());
        return samples[samples.size() / 2];
    }
    double worst() const { return *std::max_element(samples.begin(), samples.end()); }
};

// What one refresh asks of the ledger.
void queries(const StatsLedger& ledger, ReportPeriod period) {
    const Date now = history_fixture::now();
    const Calendar& calendar = history_fixture::calendar();
    periodTotals(ledger, period, now, calendar);
    periodDays(ledger, period, now, calendar);
    ledger.blameHistory(30, now, 60, calendar);
    ledger.allTimeTotals(now, calendar);
    if (period == ReportPeriod::allTime) {
        ledger.dailyTotals(365, now, calendar);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const StatsLedger ledger = history_fixture::thirteenMonths();
    std::printf("ledger: %lld days, %zu applications\n", static_cast<long long>(ledger.recordedDayCount()),
                history_fixture::manyApps().size());

    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new HistoryView(history_fixture::source(ledger, nullptr, {}), &window);
    layout->addWidget(view);
    window.resize(760, 760);
    window.show();
    QPixmap frame(window.size());

    constexpr int rounds = 30;
    for (const ReportPeriod period : allReportPeriods) {
        Timing query;
        Timing switching;
        for (int round = 0; round < rounds; ++round) {
            // Leave the period, then come back to it: the switch measured is the one into `period`.
            view->picker().button(period == ReportPeriod::week ? 1 : 0)->click();
            QCoreApplication::processEvents();
            window.render(&frame);

            const Clock::time_point queryStart = Clock::now();
            queries(ledger, period);
            query.add(millisecondsSince(queryStart));

            const Clock::time_point start = Clock::now();
            view->picker().button(static_cast<int>(period))->click();
            layout->activate();
            window.render(&frame);
            switching.add(millisecondsSince(start));
        }
        std::printf("%-8s switch %6.2f ms median, %6.2f ms worst; ledger queries %5.2f ms\n",
                    std::string(label(period)).c_str(), switching.median(), switching.worst(), query.median());
    }
    return 0;
}
