#include "core/DailyGrade.h"
#include "model/AppModel.h"
#include "model/Copy.h"

namespace halvrick {

void AppModel::popoverWillOpen(bool debugUnlocked) {
    const Date now = services_.now();
    publish(isPopoverOpen_, true, &AppModel::isPopoverOpenChanged);
    publish(debugUnlocked_, debugUnlocked, &AppModel::debugUnlockedChanged);
    refreshWrappedOffer(now);
    publish(line_, Copy::heatLine(state_, settings_.personality(), line_, services_.random),
            &AppModel::lineChanged);
    publish(quitMessage_, std::nullopt, &AppModel::quitMessageChanged);
    publish(confirmingQuit_, std::nullopt, &AppModel::confirmingQuitChanged);
    breakdown_.reset();
    measuredSystemParts_.clear();
    publish(systemParts_, std::vector<SystemPart>(), &AppModel::systemPartsChanged);
    services_.breakdownSampler->start(config_.processSampleInterval);
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
    services_.breakdownSampler->stop();
    measuredSystemParts_.clear();
    publish(systemParts_, std::vector<SystemPart>(), &AppModel::systemPartsChanged);
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
    refreshWrappedOffer(services_.now());
    breakdown_.reset();
    services_.breakdownSampler->start(config_.processSampleInterval);
    publish(suppressionNote_, suppressionNoteFor(presence_->suppression()),
            &AppModel::suppressionNoteChanged);
    // What it shows is read now, not at the next sweep.
    refreshBlame();
}

void AppModel::refreshWrappedOffer(Date now) {
    const Calendar calendar = services_.calendar();
    const DateComponents c = calendar.components(now);
    const bool ready = c.weekday == 1 && c.hour >= 18 &&
                       services_.defaults->getString("wrappedSeenDay") != StatsLedger::dayKey(now, calendar);
    publish(wrappedReady_, ready, &AppModel::wrappedReadyChanged);
}

EveningSummary AppModel::buildEveningSummary(const std::string& dayKey, Date at) const {
    const Calendar calendar = services_.calendar();
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

void AppModel::confirmQuit() {
    if (!confirmingQuit_) {
        return;
    }
    const AppKey app = *confirmingQuit_;
    publish(confirmingQuit_, std::nullopt, &AppModel::confirmingQuitChanged);
    const auto sampled = pidsByApp_.find(app);
    const std::vector<std::int32_t> pids = sampled == pidsByApp_.end() ? std::vector<std::int32_t>() : sampled->second;
    const auto now = services_.monotonic();
    std::erase_if(leavingSince_, [&](const auto& entry) { return !isLeaving(entry.first); });
    // Its processes are gone since the last sample: what the user asked for has happened.
    if (services_.appDirectory->runningApplications(app, pids).empty()) {
        leavingSince_[app] = now;
        publish(quitMessage_, Copy::quitAlreadyGone(app.displayName), &AppModel::quitMessageChanged);
        return;
    }
    const bool ok = services_.appDirectory->quit(app, pids);
    if (ok) {
        leavingSince_[app] = now;
    }
    publish(quitMessage_,
            ok ? "Asked " + app.displayName + " to leave. Fingers crossed."
               : app.displayName + " didn't want to go. Try quitting it yourself.",
            &AppModel::quitMessageChanged);
    if (ok) {
        showMomentary(FaceState::grateful, 3);
    }
}

bool AppModel::isLeaving(const AppKey& app) const {
    const auto it = leavingSince_.find(app);
    if (it == leavingSince_.end()) {
        return false;
    }
    // By then the CPU it used before the request has left the blame window: still listed, it still runs.
    const auto elapsed = std::chrono::duration<double>(services_.monotonic() - it->second).count();
    return elapsed >= 0 && elapsed < config_.blameWindow;
}

void AppModel::setConfirmingQuit(std::optional<AppKey> app) {
    publish(confirmingQuit_, std::move(app), &AppModel::confirmingQuitChanged);
}

void AppModel::setIgnoredNames(std::map<std::string, std::string> names) {
    publish(ignoredNames_, std::move(names), &AppModel::ignoredNamesChanged);
}

void AppModel::saveIgnored() {
    services_.defaults->batch([this] {
        services_.defaults->setStringMap("ignoredAppNames", ignoredNames_);
        services_.defaults->remove("ignoredApps");
    });
}

void AppModel::refreshBlame() {
    const std::set<std::string> ignored = ignoredIds();
    publish(topApps_, blame_.topApps(ignored), &AppModel::topAppsChanged);
    std::optional<AppShare> next = blame_.culprit(state_, ignored);
    const std::optional<AppKey> app = next ? std::optional(next->app) : std::nullopt;
    const std::optional<AppKey> current = culprit_ ? std::optional(culprit_->app) : std::nullopt;
    // The same application keeps its sentence: a new template only for a new culprit.
    if (app != current) {
        publish(blameLine_, Copy::blameLine(app, settings_.personality(), services_.random),
                &AppModel::blameLineChanged);
    }
    publish(culprit_, std::move(next), &AppModel::culpritChanged);
    publishSystemParts();
}

} // namespace halvrick
