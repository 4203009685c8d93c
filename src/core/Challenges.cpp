#include "core/Challenges.h"

#include "core/StatsLedger.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace halvrick {

namespace {

ChallengeKind requiredKind(const json::Json& obj) {
    const auto kind = challengeKindFromString(json::required<std::string>(obj, "kind"));
    if (!kind) {
        throw Error("\"kind\" names no challenge");
    }
    return *kind;
}

} // namespace

std::string_view toString(ChallengeKind kind) {
    switch (kind) {
    case ChallengeKind::chillWeek:
        return "chillWeek";
    case ChallengeKind::breakHabit:
        return "breakHabit";
    case ChallengeKind::coolHead:
        return "coolHead";
    }
    return {};
}

std::optional<ChallengeKind> challengeKindFromString(std::string_view raw) {
    for (const ChallengeKind kind : allChallengeKinds) {
        if (toString(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

bool dayMet(ChallengeKind kind, const DailyTotals& day) {
    if (!day.hasData()) {
        return false;
    }
    switch (kind) {
    case ChallengeKind::chillWeek:
        return day.meltdownSeconds < 300;
    case ChallengeKind::breakHabit:
        return day.breaksTaken > 0;
    case ChallengeKind::coolHead:
        return day.heatSeconds() < 3600;
    }
    return false;
}

json::Json ActiveChallenge::toJson() const {
    if (!std::isfinite(startedAt.timeIntervalSince1970())) {
        throw Error("the challenge's start time is not a finite number");
    }
    return {{"kind", toString(kind)}, {"startedDay", startedDay}, {"startedAt", json::fromDate(startedAt)}};
}

ActiveChallenge ActiveChallenge::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "active challenge");
    const ChallengeKind kind = requiredKind(obj);
    std::string startedDay = json::required<std::string>(obj, "startedDay");
    const Date startedAt = json::requiredDate(obj, "startedAt");
    if (!std::isfinite(startedAt.timeIntervalSince1970())) {
        throw Error("\"startedAt\" must be a finite number");
    }
    return {kind, std::move(startedDay), startedAt};
}

std::string_view toString(ChallengeResult::Outcome outcome) {
    switch (outcome) {
    case ChallengeResult::Outcome::completed:
        return "completed";
    case ChallengeResult::Outcome::failed:
        return "failed";
    }
    return {};
}

std::optional<ChallengeResult::Outcome> outcomeFromString(std::string_view raw) {
    for (const auto outcome : {ChallengeResult::Outcome::completed, ChallengeResult::Outcome::failed}) {
        if (toString(outcome) == raw) {
            return outcome;
        }
    }
    return std::nullopt;
}

json::Json ChallengeResult::toJson() const {
    return {{"kind", toString(kind)},
            {"startedDay", startedDay},
            {"endedDay", endedDay},
            {"metDays", metDays},
            {"outcome", toString(outcome)}};
}

ChallengeResult ChallengeResult::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "challenge result");
    const ChallengeKind kind = requiredKind(obj);
    std::string startedDay = json::required<std::string>(obj, "startedDay");
    std::string endedDay = json::required<std::string>(obj, "endedDay");
    const std::int64_t metDays = json::required<std::int64_t>(obj, "metDays");
    const auto outcome = outcomeFromString(json::required<std::string>(obj, "outcome"));
    if (!outcome) {
        throw Error("\"outcome\" must be \"completed\" or \"failed\"");
    }
    return {kind, std::move(startedDay), std::move(endedDay), metDays, *outcome};
}

bool ChallengeProgress::isComplete() const {
    return elapsedDays + todayCount() == totalDays && metDays + todayCount() >= requiredDays;
}

bool ChallengeProgress::isFailed() const {
    if (isComplete()) {
        return false;
    }
    return metDays + (totalDays - elapsedDays) < requiredDays;
}

std::int64_t ChallengeProgress::daysRemaining() const {
    return std::max<std::int64_t>(0, totalDays - elapsedDays - todayCount());
}

namespace ChallengePolicy {

ChallengeProgress progress(const ActiveChallenge& challenge, const std::vector<DailyTotals>& days, Date now,
                           const Calendar& calendar) {
    ChallengeProgress result;
    if (!std::isfinite(now.timeIntervalSince1970())) {
        return result;
    }
    const auto start = StatsLedger::dateForDay(challenge.startedDay, calendar);
    if (!start) {
        return result;
    }
    std::map<std::string, const DailyTotals*> rows;
    for (const DailyTotals& row : days) {
        rows[row.day] = &row;
    }
    const Date todayStart = calendar.startOfDay(now);
    for (int i = 0; i < challengeTotalDays; ++i) {
        const Date date = calendar.addingDays(i, *start);
        const auto found = rows.find(StatsLedger::dayKey(date, calendar));
        const DailyTotals* row = found == rows.end() ? nullptr : found->second;
        const bool isToday = calendar.isSameDay(date, now);
        const bool isFuture = calendar.startOfDay(date) > todayStart;
        const bool hasData = row && row->hasData();
        const bool isMet = !isFuture && row && dayMet(challenge.kind, *row);
        if (isToday) {
            result.todayInWindow = true;
            result.todayMet = isMet;
        } else if (!isFuture) {
            result.elapsedDays += 1;
            result.metDays += isMet ? 1 : 0;
        }
        result.days.emplace_back(date, isMet, isToday, isFuture, hasData);
    }
    return result;
}

} // namespace ChallengePolicy

} // namespace halvrick
