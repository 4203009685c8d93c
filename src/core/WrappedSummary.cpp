#include "core/WrappedSummary.h"

#include "core/HeatState.h"
#include "core/StatsLedger.h"

#include <array>

namespace halvrick {

WrappedSummary::WrappedSummary(const StatsTotals& totals, Date endingAt, const Calendar& calendar)
    : firstDay(calendar.addingDays(-6, endingAt)), lastDay(endingAt),
      hotSeconds(totals.sweatingSeconds + totals.meltdownSeconds), meltdownSeconds(totals.meltdownSeconds),
      breaksTaken(totals.breaksTaken), breaksAsked(totals.promptsShown),
      longestStretchSeconds(totals.longestStretchSeconds) {
    for (const StatsTotals::Culprit& culprit : totals.culprits) {
        if (culprits.size() == maxCulprits) {
            break;
        }
        if (!(culprit.sweatSeconds >= minimumCulpritSweat)) {
            continue;
        }
        // Applications are keyed by the path of their entry; anything else is a bare process.
        const AppKey::Kind kind = culprit.id.starts_with('/') ? AppKey::Kind::app : AppKey::Kind::process;
        culprits.push_back({AppKey(kind, culprit.id, culprit.name), culprit.sweatSeconds});
    }
}

WrappedSummary WrappedSummary::sample(Date endingAt, const Calendar& calendar) {
    struct SampleApp {
        AppKey key;
        double sweatSeconds;
    };
    const std::array<SampleApp, 4> apps{{
        {AppKey(AppKey::Kind::app, "/Applications/Google Chrome.app", "Google Chrome"), 2160},
        {AppKey(AppKey::Kind::app, "/Applications/Xcode.app", "Xcode"), 1380},
        {AppKey(AppKey::Kind::app, "/Applications/Docker.app", "Docker"), 840},
        {AppKey(AppKey::Kind::process, "node", "node"), 300},
    }};

    StatsLedger ledger;
    for (int i = 0; i < 7; ++i) {
        const Date day = calendar.addingDays(-i, endingAt);
        const double factor = 1.0 + 0.4 * (i % 3);
        for (const SampleApp& app : apps) {
            ledger.addSweat(app.sweatSeconds * factor, app.key, day, calendar);
        }
        ledger.addHeat(2400 * factor, HeatState::sweating, day, calendar);
        ledger.addHeat(600 * factor, HeatState::meltdown, day, calendar);
        ledger.addActive(21600, day, calendar);
        ledger.recordStretch((80 + 17 * i) * 60.0, day, calendar);
        for (int prompt = 0; prompt < 5; ++prompt) {
            ledger.recordPromptShown(day, calendar);
        }
        for (int taken = 0; taken < 3 + i % 2; ++taken) {
            ledger.recordBreakTaken(day, calendar);
        }
    }
    return WrappedSummary(ledger.totals(7, endingAt, calendar), endingAt, calendar);
}

} // namespace halvrick
