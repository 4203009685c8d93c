#include "core/DailyGrade.h"
#include "model/AppModel.h"
#include "model/AppServices.h"
#include "model/Copy.h"

namespace halvrick {

void AppModel::popoverWillOpen(bool debugUnlocked) {
    const Date now = services_->now();
    publish(isPopoverOpen_, true, &AppModel::isPopoverOpenChanged);
    publish(debugUnlocked_, debugUnlocked, &AppModel::debugUnlockedChanged);
    refreshWrappedOffer(now);
    publish(line_, Copy::heatLine(state_, settings_.personality(), line_, services_->random),
            &AppModel::lineChanged);
    blame_.clearQuit();
    blame_.restartListings();
    blame_.clearSystemParts();
    services_->breakdownSampler->start(config_.processSampleInterval);
    publish(suppressionNote_, suppressionNoteFor(presence_->suppression()),
            &AppModel::suppressionNoteChanged);
    evaluateChallenges(now, true);
    restoreEvening(now);
    refreshFolders(now);
    measureFoldersIfNeeded(now, false, true);
    if (eveningSummary_) {
        publish(eveningSummary_, buildEveningSummary(eveningSummary_->dayKey, now),
                &AppModel::eveningSummaryChanged);
    }
}

void AppModel::popoverDidClose() {
    publish(isPopoverOpen_, false, &AppModel::isPopoverOpenChanged);
    services_->breakdownSampler->stop();
    blame_.clearSystemParts();
}

void AppModel::setPopoverWatched(bool watched) {
    if (watched == isPopoverOpen_) {
        return;
    }
    if (!watched) {
        popoverDidClose();
        return;
    }
    publish(isPopoverOpen_, true, &AppModel::isPopoverOpenChanged);
    refreshWrappedOffer(services_->now());
    blame_.restartListings();
    services_->breakdownSampler->start(config_.processSampleInterval);
    publish(suppressionNote_, suppressionNoteFor(presence_->suppression()),
            &AppModel::suppressionNoteChanged);
    // What it shows is read now, not at the next sweep.
    blame_.refresh(state_);
}

void AppModel::refreshWrappedOffer(Date now) {
    const Calendar calendar = services_->calendar();
    const DateComponents c = calendar.components(now);
    const bool ready = c.weekday == 1 && c.hour >= 18 &&
                       services_->defaults->getString("wrappedSeenDay") != StatsLedger::dayKey(now, calendar);
    publish(wrappedReady_, ready, &AppModel::wrappedReadyChanged);
}

EveningSummary AppModel::buildEveningSummary(const std::string& dayKey, Date at) const {
    const Calendar calendar = services_->calendar();
    const Date date = StatsLedger::dateForDay(dayKey, calendar).value_or(at);
    const std::vector<DailyTotals> days = stats_->ledger().dailyTotals(1, date, calendar);
    const StatsTotals totals = stats_->ledger().totals(1, date, calendar);
    EveningSummary summary;
    summary.dayKey = dayKey;
    if (!days.empty()) {
        const DailyTotals& day = days.back();
        summary.grade = DailyGrade::evaluate(day);
        summary.heatSeconds = day.sweatingSeconds + day.meltdownSeconds;
        summary.breaksTaken = day.breaksTaken;
    }
    if (!totals.culprits.empty()) {
        summary.culprit = totals.culprits.front().name;
    }
    return summary;
}

} // namespace halvrick
