#pragma once

#include "core/Calendar.h"
#include "core/Challenges.h"
#include "core/Date.h"
#include "core/StatsQueries.h"
#include "model/Defaults.h"

#include <optional>
#include <vector>

namespace halvrick {

// The running seven-day challenge and the result of the last finished one, kept in the user defaults as
// JSON data under "challengeActive" and "challengeLastResult"; an absent value has no key. A stored value
// that cannot be read loads as absent and stays on disk until the next save replaces or removes it.
// Announces no changes: whoever changes it tells the app model.
class ChallengeStore {
public:
    // Loads both values; writes nothing.
    explicit ChallengeStore(Defaults& defaults);

    ChallengeStore(const ChallengeStore&) = delete;
    ChallengeStore& operator=(const ChallengeStore&) = delete;

    const std::optional<ActiveChallenge>& active() const { return active_; }
    const std::optional<ChallengeResult>& lastResult() const { return lastResult_; }
    // The two setters keep the value in memory; call save() afterwards.
    void setActive(std::optional<ActiveChallenge> active) { active_ = std::move(active); }
    void setLastResult(std::optional<ChallengeResult> result) { lastResult_ = std::move(result); }

    // Writes both values in one write; a value that cannot be encoded removes its key.
    void save();

    // Ends the running challenge once it is won (today counted when it is met) or can no longer be won,
    // records and saves the result and returns it; otherwise nothing changes.
    std::optional<ChallengeResult> evaluate(const std::vector<DailyTotals>& days, Date now,
                                            const Calendar& calendar);
    // Abandons the running challenge without a result.
    void giveUp();
    void dismissResult();

private:
    Defaults& defaults_;
    std::optional<ActiveChallenge> active_;
    std::optional<ChallengeResult> lastResult_;
};

} // namespace halvrick
