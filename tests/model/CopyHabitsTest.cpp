#include "model/Copy.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace halvrick {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

DailyGrade grade(DailyGrade::Letter letter, std::int64_t value) {
    return DailyGrade(value, letter, {});
}

ChallengeResult result(ChallengeKind kind, std::int64_t metDays, ChallengeResult::Outcome outcome) {
    return ChallengeResult(kind, "2026-03-01", "2026-03-07", metDays, outcome);
}

TEST(CopyHabitsTest, GradeLinesInEveryVoice) {
    using L = DailyGrade::Letter;
    using P = Personality;
    const std::tuple<L, P, const char*> cases[] = {
        {L::a, P::mild, "Immaculate. Barely a bead."},
        {L::a, P::dramatic, "A triumph. The pea remains pristine."},
        {L::a, P::deadpan, "Fine. Nothing happened."},
        {L::a, P::gremlin, "Suspiciously cool. Did you even work?"},
        {L::b, P::mild, "A good day. A little warm, nothing dramatic."},
        {L::b, P::dramatic, "Nearly perfect. A single tragic bead."},
        {L::b, P::deadpan, "Acceptable. Mostly."},
        {L::b, P::gremlin, "Nice. No soup today."},
        {L::c, P::mild, "Warm, but we survived."},
        {L::c, P::dramatic, "We endured. Barely."},
        {L::c, P::deadpan, "It was warm. That's all."},
        {L::c, P::gremlin, "Medium soup. Medium chaos."},
        {L::d, P::mild, "My forehead is wet and I'm judging you."},
        {L::d, P::dramatic, "The mercury! The humanity!"},
        {L::d, P::deadpan, "You cooked the computer. Noted."},
        {L::d, P::gremlin, "The fans are screaming. Delicious."},
        {L::f, P::mild, "Today was a sauna with a keyboard."},
        {L::f, P::dramatic, "I have melted. Send help. And a fan."},
        {L::f, P::deadpan, "The computer is a radiator. Logged."},
        {L::f, P::gremlin, "You turned the computer into a panini press. Iconic."},
    };
    for (const auto& [letter, personality, text] : cases) {
        // The line depends on the letter only, never on the value within its band.
        for (const std::int64_t value : {0, 59, 100}) {
            EXPECT_EQ(Copy::gradeLine(grade(letter, value), personality), text)
                << toString(letter) << " " << toString(personality) << " " << value;
        }
    }
}

TEST(CopyHabitsTest, GradeBadgeAndEveningTitle) {
    using L = DailyGrade::Letter;
    const std::tuple<L, std::int64_t, const char*, const char*> cases[] = {
        {L::a, 100, "Today's grade: A, 100 out of 100.", "Today: A · 100"},
        {L::b, 84, "Today's grade: B, 84 out of 100.", "Today: B · 84"},
        {L::c, 70, "Today's grade: C, 70 out of 100.", "Today: C · 70"},
        {L::d, 61, "Today's grade: D, 61 out of 100.", "Today: D · 61"},
        {L::f, 0, "Today's grade: F, 0 out of 100.", "Today: F · 0"},
    };
    for (const auto& [letter, value, badge, title] : cases) {
        EXPECT_EQ(Copy::gradeAccessibility(grade(letter, value)), badge);
        EXPECT_EQ(Copy::eveningTitle(grade(letter, value)), title);
    }
    EXPECT_EQ(Copy::eveningTitle(std::nullopt), "Day's done.");
}

TEST(CopyHabitsTest, EveningCardBody) {
    const std::tuple<double, std::int64_t, std::optional<std::string>, const char*> cases[] = {
        {0, 0, std::nullopt, "No heat, 0 breaks. Nobody in particular did it."},
        {-30, 1, std::nullopt, "No heat, 1 break. Nobody in particular did it."},
        {nan, 2, std::nullopt, "No heat, 2 breaks. Nobody in particular did it."},
        {10, 1, "Firefox", "<1 min of heat, 1 break. Firefox did the most."},
        // 1.5 and 2.5 minutes round away from zero, never to even.
        {90, 2, "Linux itself", "2 min of heat, 2 breaks. Linux itself did the most."},
        {150, 3, std::nullopt, "3 min of heat, 3 breaks. Nobody in particular did it."},
        {5400, 11, "Firefox", "1 h 30 min of heat, 11 breaks. Firefox did the most."},
    };
    for (const auto& [heat, breaks, culprit, text] : cases) {
        EXPECT_EQ(Copy::eveningBody(heat, breaks, culprit), text) << heat;
    }
}

TEST(CopyHabitsTest, EveningNotification) {
    const std::tuple<double, std::int64_t, const char*> cases[] = {
        {0, 0, "Today's check: no heat, 0 breaks."},  {-1, 1, "Today's check: no heat, 1 break."},
        {nan, 1, "Today's check: no heat, 1 break."}, {29, 2, "Today's check: <1 min, 2 breaks."},
        {90, 1, "Today's check: 2 min, 1 break."},    {3570, 4, "Today's check: 1 h, 4 breaks."},
    };
    for (const auto& [heat, breaks, text] : cases) {
        const EveningSummary summary{"2026-03-05", grade(DailyGrade::Letter::b, 80), heat, breaks, "Firefox"};
        EXPECT_EQ(Copy::eveningNotification(summary), text) << heat;
    }
}

TEST(CopyHabitsTest, ChallengeOutcomes) {
    using K = ChallengeKind;
    using O = ChallengeResult::Outcome;
    const std::tuple<K, std::int64_t, O, const char*, const char*> cases[] = {
        {K::chillWeek, 5, O::completed, "Challenge complete: Chill week. 5 of 5 days.",
         "You met 5 of 5 days. The pea is doing a little dance."},
        {K::breakHabit, 7, O::completed, "Challenge complete: Break habit. 7 of 5 days.",
         "You met 7 of 5 days. The pea is doing a little dance."},
        {K::coolHead, 2, O::failed, "Challenge over: Cool head. 2 of 5 days.",
         "2 of 5 days. The next one starts fresh."},
        {K::chillWeek, 0, O::failed, "Challenge over: Chill week. 0 of 5 days.",
         "0 of 5 days. The next one starts fresh."},
        {K::breakHabit, 1, O::failed, "Challenge over: Break habit. 1 of 5 days.",
         "1 of 5 days. The next one starts fresh."},
    };
    for (const auto& [kind, met, outcome, announcement, body] : cases) {
        EXPECT_EQ(Copy::challengeAnnouncement(result(kind, met, outcome)), announcement);
        EXPECT_EQ(Copy::challengeResultBody(result(kind, met, outcome)), body);
    }
}

TEST(CopyHabitsTest, ChallengeDayStaysWithinTheWeek) {
    const std::tuple<std::int64_t, bool, const char*> cases[] = {
        {0, false, "Day 1 of 7"}, // before the first day
        {0, true, "Day 1 of 7"},  {1, true, "Day 2 of 7"},  {3, false, "Day 3 of 7"},
        {6, true, "Day 7 of 7"},  {7, false, "Day 7 of 7"}, // after the last day
        {9, true, "Day 7 of 7"},  {-2, true, "Day 1 of 7"},
    };
    for (const auto& [elapsed, inWindow, text] : cases) {
        ChallengeProgress progress;
        progress.elapsedDays = elapsed;
        progress.todayInWindow = inWindow;
        EXPECT_EQ(Copy::challengeDay(progress), text) << elapsed << " " << inWindow;
    }
    ChallengeProgress broken;
    broken.totalDays = 0;
    broken.elapsedDays = 3;
    EXPECT_EQ(Copy::challengeDay(broken), "Day 1 of 0");
}

TEST(CopyHabitsTest, CountsOfDaysAndApps) {
    const std::tuple<std::int64_t, std::int64_t, const char*> met[] = {
        {0, 5, "0 of 5 days met"}, {1, 5, "1 of 5 days met"}, {5, 7, "5 of 7 days met"}};
    for (const auto& [count, total, text] : met) {
        EXPECT_EQ(Copy::challengeMet(count, total), text);
    }
    const std::pair<std::int64_t, const char*> ignoring[] = {
        {0, "Ignoring 0 apps"}, {1, "Ignoring 1 app"}, {2, "Ignoring 2 apps"}, {12, "Ignoring 12 apps"}};
    for (const auto& [count, text] : ignoring) {
        EXPECT_EQ(Copy::ignoringHeader(count), text);
    }
}

TEST(CopyHabitsTest, HistoryBlameLead) {
    const std::tuple<std::int64_t, std::int64_t, const char*> cases[] = {
        {1, 7, "Firefox was the top culprit on one of the last 7 days."},
        {0, 7, "Firefox was the top culprit on 0 of the last 7 days."},
        {2, 7, "Firefox was the top culprit on 2 of the last 7 days."},
        {30, 30, "Firefox was the top culprit on 30 of the last 30 days."},
        {1, 1, "Firefox was the top culprit on one of the last 1 days."},
    };
    for (const auto& [top, days, text] : cases) {
        EXPECT_EQ(Copy::historyBlameLead("Firefox", top, days), text);
    }
}

TEST(CopyHabitsTest, CalendarLegendLevels) {
    const std::pair<int, const char*> cases[] = {
        {0, "No sweat"},
        {1, "Under 10 minutes"},
        {2, "10 to 30 minutes"},
        {3, "30 minutes to an hour"},
        {4, "1 to 2 hours"},
        {5, "2 hours or more"},
        {9, "2 hours or more"},
        {-1, "2 hours or more"},
        {std::numeric_limits<int>::min(), "2 hours or more"},
    };
    for (const auto& [level, text] : cases) {
        EXPECT_EQ(Copy::historyCalendarLegendLevel(level), text) << level;
    }
}

TEST(CopyHabitsTest, ReportTitlesNameTheYearOfToday) {
    const Calendar berlin("Europe/Berlin");
    const Calendar utc("UTC");
    // New Year's night: already 2027 in Berlin, still 2026 in UTC.
    const Date now = berlin.date(2027, 1, 1, 0, 30);
    EXPECT_EQ(Copy::reportTitle(ReportPeriod::week, now, berlin), "Sweat Report");
    EXPECT_EQ(Copy::reportTitle(ReportPeriod::month, now, berlin), "Monthly Sweat Report");
    EXPECT_EQ(Copy::reportTitle(ReportPeriod::year, now, berlin), "Zurez Erazuri 2027");
    EXPECT_EQ(Copy::reportTitle(ReportPeriod::year, now, utc), "Zurez Erazuri 2026");
    EXPECT_EQ(Copy::reportTitle(ReportPeriod::allTime, now, berlin), "The All-Time Sweat Report");
}

TEST(CopyHabitsTest, ReminderScheduleSummaries) {
    using S = Reminder::Schedule;
    const std::tuple<S, const char*, std::string> cases[] = {
        {S::every(30), "en_US", "Every 30 min while you're at the computer"},
        {S::every(1), "en_US", "Every 1 min while you're at the computer"},
        {S::every(0), "de_DE", "Every 0 min while you're at the computer"},
        {S::daily(9, 5), "de_DE", "Every day at 09:05"},
        {S::daily(0, 0), "de_DE", "Every day at 00:00"},
        {S::daily(23, 59), "de_DE", "Every day at 23:59"},
        // Skipped in spring where daylight saving applies, yet shown as set.
        {S::daily(2, 30), "de_DE", "Every day at 02:30"},
        // Stored out of range: such a reminder never fires, and its numbers show as they are.
        {S::daily(25, 0), "de_DE", "Every day at 25:00"},
        {S::daily(9, 75), "de_DE", "Every day at 9:75"},
        {S::daily(-1, 5), "de_DE", "Every day at -1:05"},
    };
    for (const auto& [schedule, locale, text] : cases) {
        EXPECT_EQ(Copy::scheduleSummary(schedule, locale), text) << text;
    }
    // The same shared time style as every other time of day.
    const Calendar utc("UTC");
    EXPECT_EQ(Copy::scheduleSummary(S::daily(15, 7), "en_US"),
              "Every day at " + Copy::timeFormatter(utc.date(2026, 3, 29, 15, 7), utc, "en_US"));
    EXPECT_EQ(Copy::scheduleSummary(S::daily(15, 7), "en_US").find("3:07"), 13u);
}

} // namespace
} // namespace halvrick
