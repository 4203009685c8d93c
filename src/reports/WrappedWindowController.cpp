#include "reports/WrappedWindowController.h"

#include "core/StatsLedger.h"
#include "model/AppModel.h"
#include "model/StatsStore.h"
#include "reports/CardWindowView.h"
#include "sampling/AppDirectory.h"
#include "reports/WrappedCard.h"

namespace halvrick {

WrappedWindowController::WrappedWindowController(AppModel& model, WallClock clock,
                                                 std::unique_ptr<SavePathChooser> chooser)
    : model_(model), clock_(std::move(clock)), chooser_(std::move(chooser)) {}

QString WrappedWindowController::fileName(const WrappedSummary& summary, const Calendar& calendar) {
    return QStringLiteral("Zurez Erazuri %1.png")
        .arg(QString::fromStdString(StatsLedger::dayKey(summary.lastDay, calendar)));
}

CardWindowView* WrappedWindowController::view() const {
    return window_.content();
}

void WrappedWindowController::showLastWeek() {
    const Date now = clock_.now();
    const Calendar calendar = clock_.calendar();
    show(WrappedSummary(model_.stats().ledger().totals(7, now, calendar), now, calendar));
    model_.markWrappedSeen(clock_.now());
}

void WrappedWindowController::showSample() { show(WrappedSummary::sample(clock_.now(), clock_.calendar())); }

void WrappedWindowController::show(const WrappedSummary& summary) {
    const Calendar calendar = clock_.calendar();
    std::vector<QIcon> icons;
    for (const WrappedSummary::Culprit& culprit : summary.culprits) {
        icons.push_back(model_.appDirectory().icon(culprit.app));
    }
    const WrappedCardData data = WrappedCardData::of(summary, calendar, std::move(icons));
    auto exportCard = [data, name = fileName(summary, calendar)] {
        return CardWindowView::writeCard(
            [data](QPainter& painter, QSizeF size) { WrappedCard::paint(painter, size, data); }, name);
    };
    window_.show(new CardWindowView(new WrappedCardWidget(data), exportCard, *chooser_));
}

} // namespace halvrick
