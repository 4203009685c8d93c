#include "model/Copy.h"

#include <algorithm>
#include <array>

namespace halvrick::Copy {

namespace {

// Indexed by letter, A first, then by personality in declaration order.
using GradeTable = std::array<std::array<std::string_view, 4>, 5>;

constexpr GradeTable gradeLines{{
    {"Immaculate. Barely a bead.", "A triumph. The pea remains pristine.", "Fine. Nothing happened.",
     "Suspiciously cool. Did you even work?"},
    {"A good day. A little warm, nothing dramatic.", "Nearly perfect. A single tragic bead.",
     "Acceptable. Mostly.", "Nice. No soup today."},
    {"Warm, but we survived.", "We endured. Barely.", "It was warm. That's all.",
     "Medium soup. Medium chaos."},
    {"My forehead is wet and I'm judging you.", "The mercury! The humanity!",
     "You cooked the computer. Noted.", "The fans are screaming. Delicious."},
    {"Today was a sauna with a keyboard.", "I have melted. Send help. And a fan.",
     "The computer is a radiator. Logged.", "You turned the computer into a panini press. Iconic."},
}};

// NaN is no heat either.
bool hadHeat(double heatSeconds) {
    return heatSeconds > 0;
}

std::string breaksCount(std::int64_t breaks) {
    return breaks == 1 ? "1 break" : std::to_string(breaks) + " breaks";
}

std::string letterAndValue(const DailyGrade& grade, std::string_view separator) {
    return std::string(toString(grade.letter)) + std::string(separator) + std::to_string(grade.value);
}

} // namespace

std::string_view challengeTitle(ChallengeKind kind) {
    switch (kind) {
    case ChallengeKind::chillWeek:
        return "Chill week";
    case ChallengeKind::breakHabit:
        return "Break habit";
    case ChallengeKind::coolHead:
        return "Cool head";
    }
    return {};
}

std::string_view challengeGoal(ChallengeKind kind) {
    switch (kind) {
    case ChallengeKind::chillWeek:
        return "Keep meltdown time under 5 minutes.";
    case ChallengeKind::breakHabit:
        return "Take at least one break.";
    case ChallengeKind::coolHead:
        return "Keep hot time under an hour.";
    }
    return {};
}

std::string missesLeft(const ChallengeProgress& progress) {
    const std::int64_t missed = std::max<std::int64_t>(0, progress.elapsedDays - progress.metDays);
    const std::int64_t left = std::max<std::int64_t>(0, progress.totalDays - progress.requiredDays - missed);
    return left == 1 ? "1 miss left" : std::to_string(left) + " misses left";
}

std::string gradeLine(const DailyGrade& grade, Personality personality) {
    return std::string(
        gradeLines.at(static_cast<std::size_t>(grade.letter)).at(static_cast<std::size_t>(personality)));
}

std::string gradeAccessibility(const DailyGrade& grade) {
    return "Today's grade: " + letterAndValue(grade, ", ") + " out of 100.";
}

std::string eveningTitle(const std::optional<DailyGrade>& grade) {
    return grade ? "Today: " + letterAndValue(*grade, " · ") : "Day's done.";
}

std::string eveningBody(double heatSeconds, std::int64_t breaksTaken,
                        const std::optional<std::string>& culprit) {
    const std::string heat = hadHeat(heatSeconds) ? duration(heatSeconds) + " of heat" : "No heat";
    const std::string blame = culprit ? *culprit + " did the most." : "Nobody in particular did it.";
    return heat + ", " + breaksCount(breaksTaken) + ". " + blame;
}

std::string eveningNotification(const EveningSummary& summary) {
    const std::string heat = hadHeat(summary.heatSeconds) ? duration(summary.heatSeconds) : "no heat";
    return "Today's check: " + heat + ", " + breaksCount(summary.breaksTaken) + ".";
}

std::string challengeAnnouncement(const ChallengeResult& result) {
    const std::string_view lead =
        result.outcome == ChallengeResult::Outcome::completed ? "Challenge complete: " : "Challenge over: ";
    return std::string(lead) + std::string(challengeTitle(result.kind)) + ". " + std::to_string(result.metDays) +
           " of " + std::to_string(challengeRequiredDays) + " days.";
}

std::string challengeDay(const ChallengeProgress& progress) {
    const std::int64_t day = progress.todayInWindow ? progress.elapsedDays + 1 : progress.elapsedDays;
    // At least day 1 even when the total is broken, rather than an empty range to clamp into.
    const std::int64_t shown = std::max<std::int64_t>(1, std::min(day, progress.totalDays));
    return "Day " + std::to_string(shown) + " of " + std::to_string(progress.totalDays);
}

std::string challengeMet(std::int64_t met, std::int64_t total) {
    return std::to_string(met) + " of " + std::to_string(total) + " days met";
}

std::string challengeResultBody(const ChallengeResult& result) {
    const std::string met =
        std::to_string(result.metDays) + " of " + std::to_string(challengeRequiredDays) + " days.";
    return result.outcome == ChallengeResult::Outcome::completed
               ? "You met " + met + " The pea is doing a little dance."
               : met + " The next one starts fresh.";
}

std::string historyBlameLead(std::string_view name, std::int64_t topDays, std::int64_t days) {
    const std::string count = topDays == 1 ? "one" : std::to_string(topDays);
    return std::string(name) + " was the top culprit on " + count + " of the last " + std::to_string(days) +
           " days.";
}

std::string historyCalendarLegendLevel(int level) {
    switch (level) {
    case 0:
        return "No sweat";
    case 1:
        return "Under 10 minutes";
    case 2:
        return "10 to 30 minutes";
    case 3:
        return "30 minutes to an hour";
    case 4:
        return "1 to 2 hours";
    default:
        return "2 hours or more";
    }
}

std::string reportTitle(ReportPeriod period, Date now, const Calendar& calendar) {
    switch (period) {
    case ReportPeriod::week:
        return "Sweat Report";
    case ReportPeriod::month:
        return "Monthly Sweat Report";
    case ReportPeriod::year:
        return "Zurez Erazuri " + std::to_string(calendar.components(now).year);
    case ReportPeriod::allTime:
        return "The All-Time Sweat Report";
    }
    return {};
}

std::string scheduleSummary(const Reminder::Schedule& schedule, std::string_view locale) {
    if (schedule.scheduleCase() == Reminder::Schedule::Case::every) {
        return "Every " + std::to_string(schedule.minutes()) + " min while you're at the computer";
    }
    const std::int64_t hour = schedule.hour();
    const std::int64_t minute = schedule.minute();
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return "Every day at " + std::to_string(hour) + ":" + (minute >= 0 && minute < 10 ? "0" : "") +
               std::to_string(minute);
    }
    // A day without a clock change, so that a time skipped by daylight saving today still reads as set.
    static const Calendar utc("UTC");
    return "Every day at " +
           timeFormatter(utc.date(2001, 1, 1, static_cast<int>(hour), static_cast<int>(minute)), utc, locale);
}

std::string ignoringHeader(std::int64_t count) {
    return count == 1 ? "Ignoring 1 app" : "Ignoring " + std::to_string(count) + " apps";
}

std::string quitAlreadyGone(const std::string& name) { return name + " has already left."; }

} // namespace halvrick::Copy
