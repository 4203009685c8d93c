#include "core/EndOfDayRitual.h"
#include "model/AppModel.h"
#include "model/AppServices.h"
#include "sampling/NotificationService.h"
#include "model/Copy.h"

#include <algorithm>
#include <array>
#include <utility>

namespace halvrick {

namespace {

constexpr const char* firedKey = "eveningFiredDay";
constexpr const char* dismissedKey = "eveningDismissedDay";
constexpr const char* eveningNotificationId = "evening-check";
constexpr const char* eveningAnnouncement = "Day's done. Want the short version?";
// A day with less time at the computer has nothing to sum up.
constexpr double minimumActiveSeconds = 300;

} // namespace

std::optional<DailyGrade> AppModel::todayGrade(Date now) const {
    const std::vector<DailyTotals> rows = stats_->ledger().dailyTotals(1, now, services_->calendar());
    return rows.empty() ? std::nullopt : DailyGrade::evaluate(rows.back());
}

std::optional<ChallengeProgress> AppModel::challengeProgress(Date now) const {
    if (!activeChallenge_) {
        return std::nullopt;
    }
    const Calendar calendar = services_->calendar();
    return ChallengePolicy::progress(*activeChallenge_, stats_->ledger().allDailyTotals(now, calendar), now,
                                     calendar);
}

void AppModel::startChallenge(ChallengeKind kind, Date now) {
    challenges_->setActive(ActiveChallenge(kind, StatsLedger::dayKey(now, services_->calendar()), now));
    challenges_->setLastResult(std::nullopt);
    challenges_->save();
    syncChallengeStore();
}

void AppModel::syncChallengeStore() {
    if (activeChallenge_ != challenges_->active()) {
        publish(activeChallenge_, challenges_->active(), &AppModel::activeChallengeChanged);
    }
    if (challengeResult_ != challenges_->lastResult()) {
        publish(challengeResult_, challenges_->lastResult(), &AppModel::challengeResultChanged);
    }
}

void AppModel::evaluateChallenges(Date now, bool announce) {
    const Calendar calendar = services_->calendar();
    const std::optional<ChallengeResult> result =
        challenges_->evaluate(stats_->ledger().allDailyTotals(now, calendar), now, calendar);
    syncChallengeStore();
    if (result && announce) {
        handleChallengeResult(*result);
    }
}

void AppModel::handleChallengeResult(const ChallengeResult& result) {
    const std::string text = Copy::challengeAnnouncement(result);
    const FaceState mood =
        result.outcome == ChallengeResult::Outcome::completed ? FaceState::celebrating : FaceState::wakeUpHappy;
    announce(text, face(mood, state_), 8.0);
    if (settings_.notificationsEnabled() && services_->identity.hasIdentifier()) {
        notifier_.send("challenge", text);
    }
}

void AppModel::restoreEvening(Date now) {
    eveningSettings_ = std::pair(settings_.endOfDayEnabled(), settings_.endOfDayMinute());
    const auto clear = [this] {
        if (eveningSummary_) {
            publish(eveningSummary_, std::nullopt, &AppModel::eveningSummaryChanged);
        }
    };
    const std::optional<std::string> fired = services_->defaults->getString(firedKey);
    if (!settings_.endOfDayEnabled() || !fired || services_->defaults->getString(dismissedKey) == fired) {
        clear();
        return;
    }
    const Calendar calendar = services_->calendar();
    const std::optional<Date> window =
        EndOfDayRitualPolicy::windowStart(settings_.endOfDayMinute(), now, calendar);
    const bool current = *fired == StatsLedger::dayKey(now, calendar) ||
                         (window && *fired == StatsLedger::dayKey(*window, calendar));
    if (!current) {
        clear();
        return;
    }
    if (!eveningSummary_ || eveningSummary_->dayKey != *fired) {
        publish(eveningSummary_, buildEveningSummary(*fired, now), &AppModel::eveningSummaryChanged);
    }
}

void AppModel::checkEvening(Date now) {
    restoreEvening(now);
    if (!settings_.endOfDayEnabled() || coolDown_ || restPhase_ == RestPhase::resting ||
        restPhase_ == RestPhase::prompting) {
        return;
    }
    if (!isPresent() || presence_->suppression()) {
        return;
    }
    const Calendar calendar = services_->calendar();
    const std::optional<std::string> fired = services_->defaults->getString(firedKey);
    const std::int64_t minute = settings_.endOfDayMinute();
    if (!EndOfDayRitualPolicy::shouldFire(minute, now, fired, settings_.quietHours(), calendar)) {
        return;
    }
    const std::optional<Date> window = EndOfDayRitualPolicy::windowStart(minute, now, calendar);
    if (!window) {
        return;
    }
    const std::string key = StatsLedger::dayKey(*window, calendar);
    if (fired == key) {
        return;
    }
    const std::vector<DailyTotals> rows = stats_->ledger().dailyTotals(1, *window, calendar);
    if (rows.empty() || rows.back().activeSeconds < minimumActiveSeconds) {
        return;
    }
    fireEvening(key, now);
    if (settings_.notificationsEnabled() && services_->identity.hasIdentifier()) {
        notifier_.send(eveningNotificationId, Copy::eveningNotification(*eveningSummary_));
    }
}

void AppModel::runEveningCheckNow() {
    const Date now = services_->now();
    fireEvening(StatsLedger::dayKey(now, services_->calendar()), now);
}

void AppModel::fireEvening(const std::string& dayKey, Date now) {
    services_->defaults->batch([&] {
        services_->defaults->setString(firedKey, dayKey);
        services_->defaults->remove(dismissedKey);
    });
    publish(eveningSummary_, buildEveningSummary(dayKey, now), &AppModel::eveningSummaryChanged);
    announce(eveningAnnouncement, face(FaceState::hello, state_), 8.0);
}

void AppModel::dismissEvening() {
    if (!eveningSummary_) {
        return;
    }
    services_->defaults->setString(dismissedKey, eveningSummary_->dayKey);
    publish(eveningSummary_, std::nullopt, &AppModel::eveningSummaryChanged);
    if (services_->identity.hasIdentifier()) {
        notifier_.remove(eveningNotificationId);
    }
    announce("Goodnight. I'll keep the fan on.", face(FaceState::dozing, state_), 4.0);
}

void AppModel::markWrappedSeen(Date now) {
    services_->defaults->setString("wrappedSeenDay", StatsLedger::dayKey(now, services_->calendar()));
    publish(wrappedReady_, false, &AppModel::wrappedReadyChanged);
}

void AppModel::seededStatsChanged(Date day) {
    stats_->setDirty(true);
    stats_->pruneIfNewDay(day);
    stats_->saveIfDue();
}

void AppModel::seedSampleWeek() {
    const Date now = services_->now();
    const Calendar calendar = services_->calendar();
    constexpr std::array<double, 7> heat{0, 600, 1800, 3600, 900, 2400, 300};
    StatsLedger& ledger = stats_->ledger();
    for (int i = 0; i < 7; ++i) {
        const Date day = calendar.addingDays(-i, now);
        ledger.addActive(21600, day, calendar);
        if (const double h = heat[static_cast<std::size_t>(i)]; h > 0) {
            ledger.addHeat(std::min(h, 3600.0), HeatState::sweating, day, calendar);
            if (h > 3600) {
                ledger.addHeat(h - 3600, HeatState::meltdown, day, calendar);
            }
        }
        for (int p = 0; p < i % 3; ++p) {
            ledger.recordPromptShown(day, calendar);
        }
        if (i % 2 == 1) {
            ledger.recordBreakTaken(day, calendar);
        }
        ledger.recordStretch(3600 + 600 * i, day, calendar);
        seededStatsChanged(day);
    }
    stats_->save();
    emit statsSeeded();
    lastHabitCheck_.reset();
    evaluateChallenges(now, true);
    restoreEvening(now);
}

void AppModel::seedChallengeForDebug(int daysAgo, int met) {
    if (daysAgo < 1 || daysAgo > 6) {
        return;
    }
    const Date now = services_->now();
    const Calendar calendar = services_->calendar();
    const Date start = calendar.addingDays(-daysAgo, now);
    StatsLedger& ledger = stats_->ledger();
    // Yesterday first; today is left open.
    for (int j = 1; j <= daysAgo; ++j) {
        const Date day = calendar.addingDays(-j, now);
        ledger.addActive(600, day, calendar);
        if (j <= met) {
            ledger.recordBreakTaken(day, calendar);
        }
        seededStatsChanged(day);
    }
    stats_->save();
    challenges_->setActive(ActiveChallenge(ChallengeKind::breakHabit, StatsLedger::dayKey(start, calendar), start));
    challenges_->setLastResult(std::nullopt);
    challenges_->save();
    syncChallengeStore();
    lastHabitCheck_.reset();
    evaluateChallenges(now, true);
    restoreEvening(now);
    emit statsSeeded();
}

void AppModel::checkHabits(Date now) {
    // The evening card follows its settings at the next tick, not at the next check.
    if (eveningSettings_ != std::pair(settings_.endOfDayEnabled(), settings_.endOfDayMinute())) {
        restoreEvening(now);
    }
    // A clock set back does not hold the checks off until it catches up.
    if (lastHabitCheck_ && now >= *lastHabitCheck_ && now - *lastHabitCheck_ < 60) {
        return;
    }
    lastHabitCheck_ = now;
    evaluateChallenges(now, true);
    checkEvening(now);
}

} // namespace halvrick
