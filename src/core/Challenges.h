#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/JsonCoding.h"
#include "core/StatsQueries.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvrick {

// A weekly habit: seven days in a row from the day it was started, five of which must meet its rule.
// Stored by its raw value, the case name.
enum class ChallengeKind { chillWeek, breakHabit, coolHead };

inline constexpr std::array<ChallengeKind, 3> allChallengeKinds{
    ChallengeKind::chillWeek, ChallengeKind::breakHabit, ChallengeKind::coolHead};

// Shared by every kind.
inline constexpr std::int64_t challengeTotalDays = 7;
inline constexpr std::int64_t challengeRequiredDays = 5;

std::string_view toString(ChallengeKind kind);
std::optional<ChallengeKind> challengeKindFromString(std::string_view raw);

// Whether a day meets the kind's rule; a day without data never does, though its heat is 0.
bool dayMet(ChallengeKind kind, const DailyTotals& day);

// The running challenge.
struct ActiveChallenge {
    ChallengeKind kind = ChallengeKind::chillWeek;
    // Day key of the first of the seven days.
    std::string startedDay;
    Date startedAt;

    ActiveChallenge() = default;
    ActiveChallenge(ChallengeKind kind, std::string startedDay, Date startedAt)
        : kind(kind), startedDay(std::move(startedDay)), startedAt(startedAt) {}

    // Throws Error when startedAt is not finite: it would be written as null and never read back.
    json::Json toJson() const;
    // Every key is required; "kind" must name a kind and "startedAt" be a finite number.
    static ActiveChallenge fromJson(const json::Json& value);

    friend bool operator==(const ActiveChallenge&, const ActiveChallenge&) = default;
};

// How a finished challenge went.
struct ChallengeResult {
    enum class Outcome { completed, failed };

    ChallengeKind kind = ChallengeKind::chillWeek;
    std::string startedDay;
    // Day key of the day the outcome was decided.
    std::string endedDay;
    // Met days when it was decided, today included when today was in the window and met.
    std::int64_t metDays = 0;
    Outcome outcome = Outcome::failed;

    ChallengeResult() = default;
    ChallengeResult(ChallengeKind kind, std::string startedDay, std::string endedDay, std::int64_t metDays,
                    Outcome outcome)
        : kind(kind), startedDay(std::move(startedDay)), endedDay(std::move(endedDay)), metDays(metDays),
          outcome(outcome) {}

    json::Json toJson() const;
    // Every key is required; "kind" and "outcome" must be raw values of their enumerations.
    static ChallengeResult fromJson(const json::Json& value);

    friend bool operator==(const ChallengeResult&, const ChallengeResult&) = default;
};

std::string_view toString(ChallengeResult::Outcome outcome);
std::optional<ChallengeResult::Outcome> outcomeFromString(std::string_view raw);

// One cell of the seven-day grid.
struct ChallengeDay {
    // The start of the cell's calendar day.
    Date date;
    bool isMet = false;
    bool isToday = false;
    bool isFuture = false;
    bool hasData = false;

    ChallengeDay() = default;
    ChallengeDay(Date date, bool isMet, bool isToday, bool isFuture, bool hasData)
        : date(date), isMet(isMet), isToday(isToday), isFuture(isFuture), hasData(hasData) {}

    friend bool operator==(const ChallengeDay&, const ChallengeDay&) = default;
};

// Where a challenge stands; today is still open, so it is counted apart from the past days.
struct ChallengeProgress {
    std::vector<ChallengeDay> days;
    // Met days before today.
    std::int64_t metDays = 0;
    // Days of the window before today.
    std::int64_t elapsedDays = 0;
    bool todayMet = false;
    bool todayInWindow = false;
    std::int64_t totalDays = challengeTotalDays;
    std::int64_t requiredDays = challengeRequiredDays;

    std::int64_t metIncludingToday() const { return metDays + todayCount(); }
    // All seven days are accounted for with enough of them met.
    bool isComplete() const;
    // Even meeting today and every later day could not reach the required days.
    bool isFailed() const;
    std::int64_t daysRemaining() const;

    friend bool operator==(const ChallengeProgress&, const ChallengeProgress&) = default;

private:
    std::int64_t todayCount() const { return todayInWindow && todayMet ? 1 : 0; }
};

namespace ChallengePolicy {

// The seven days from the challenge's first day, read from `days` in any order (a later row wins over an
// earlier one with the same day key). A first day that cannot be parsed, or a time that is not finite,
// gives an empty progress that is neither complete nor failed.
ChallengeProgress progress(const ActiveChallenge& challenge, const std::vector<DailyTotals>& days, Date now,
                           const Calendar& calendar);

} // namespace ChallengePolicy

} // namespace halvrick
