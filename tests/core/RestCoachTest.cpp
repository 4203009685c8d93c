#include "core/RestCoach.h"

#include "core/Calendar.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

void PrintTo(const RestEvent& event, std::ostream* os) {
    *os << toString(event);
}

namespace {

const Calendar berlin("Europe/Berlin");
const Date t0 = berlin.date(2026, 3, 10, 9, 0, 0);

class FakeClock : public TimeSource {
public:
    explicit FakeClock(Date t) : t(t) {}
    Date now() const override { return t; }
    Date t;
};

// Idle seconds as the system reports them: they grow with real time and drop to 0 on input.
class FakeIdle : public IdleSource {
public:
    double secondsSinceLastInput() override { return seconds; }
    double seconds = 0;
};

class FakeSuppression : public SuppressionSource {
public:
    std::optional<SuppressionReason> currentSuppression() override {
        ++calls;
        return reason;
    }
    std::optional<SuppressionReason> reason;
    int calls = 0;
};

struct Timed {
    double at; // seconds since t0
    RestEvent event;
    friend bool operator==(const Timed&, const Timed&) = default;
    friend void PrintTo(const Timed& t, std::ostream* os) { *os << t.at << ": " << toString(t.event); }
};

// A coach on a fake clock, fake idle time and a fake suppression source. Input "now" means at the
// clock's current time; time passing without input grows the idle seconds.
struct Harness {
    // The coach is built a second before `start`, so input at `start` is news to its first tick.
    explicit Harness(const Config& config = Config::defaults(), Date start = t0)
        : clock(std::make_shared<FakeClock>(start - 1)), idle(std::make_shared<FakeIdle>()),
          suppression(std::make_shared<FakeSuppression>()), coach(config, clock, idle, suppression) {
        clock->t = start;
        idle->seconds = 1e6; // nobody has touched the machine for a long while
    }

    double now() const { return clock->t - t0; }
    void advance(double seconds) {
        clock->t += seconds;
        idle->seconds += seconds;
    }
    // The wall clock jumps; idle time is measured on its own and does not follow.
    void setClockBack(double seconds) { clock->t = clock->t - seconds; }
    void input(double secondsAgo = 0) { idle->seconds = secondsAgo; }

    std::vector<RestEvent> tickAfter(double seconds, bool typing = false) {
        advance(seconds);
        if (typing) {
            input();
        }
        return coach.tick();
    }

    // One tick a second for `seconds` seconds; the events with their times.
    std::vector<Timed> run(int seconds, bool typing) {
        std::vector<Timed> log;
        for (int i = 0; i < seconds; ++i) {
            for (const RestEvent& e : tickAfter(1, typing)) {
                log.push_back({now(), e});
            }
        }
        return log;
    }

    // Input now starts a stretch now.
    void startWorking() {
        input();
        EXPECT_EQ(coach.tick(), std::vector<RestEvent>{});
        EXPECT_EQ(coach.phase(), RestPhase::active);
    }

    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<FakeIdle> idle;
    std::shared_ptr<FakeSuppression> suppression;
    RestCoach coach;
};

using Events = std::vector<RestEvent>;

TEST(RestCoachTest, WithoutInputStaysIdleAndAsksNothing) {
    Harness h;
    EXPECT_EQ(h.run(4000, false), std::vector<Timed>{});
    EXPECT_EQ(h.coach.phase(), RestPhase::idle);
    EXPECT_EQ(h.coach.activeElapsed(), 0);
    EXPECT_EQ(h.coach.currentStretch(), 0);
    EXPECT_EQ(h.coach.restRemaining(), std::nullopt);
    EXPECT_EQ(h.coach.restEndsAt(), std::nullopt);
    EXPECT_EQ(h.suppression->calls, 0);
}

TEST(RestCoachTest, InputStartsTheStretchAtTheInputTime) {
    Harness h;
    h.advance(5);
    h.input(1);
    EXPECT_EQ(h.coach.tick(), Events{});
    EXPECT_EQ(h.coach.phase(), RestPhase::active);
    EXPECT_EQ(h.coach.activeElapsed(), 1);
    EXPECT_EQ(h.coach.currentStretch(), 1);
}

// The whole road of one accepted break: work, prompt, rest, calm, completion, return.
TEST(RestCoachTest, AcceptedBreakCompletesAfterCalmAndWelcomesTheUserBack) {
    Harness h;
    h.startWorking();
    EXPECT_EQ(h.run(3600, true), (std::vector<Timed>{{3600, RestEvent::promptShown()}}));
    EXPECT_EQ(h.coach.phase(), RestPhase::prompting);
    EXPECT_EQ(h.coach.activeElapsed(), 3600);
    EXPECT_EQ(h.suppression->calls, 1);

    EXPECT_EQ(h.coach.acceptRest(), Events{RestEvent::restStarted()});
    EXPECT_EQ(h.coach.phase(), RestPhase::resting);
    EXPECT_EQ(h.coach.restEndsAt(), t0 + 3900);
    EXPECT_EQ(h.coach.restRemaining(), 120);

    EXPECT_EQ(h.run(119, false), std::vector<Timed>{});
    EXPECT_EQ(h.coach.restRemaining(), 1);
    // The stretch ends where the break began, then the break counts.
    EXPECT_EQ(h.tickAfter(1), (Events{RestEvent::stretchEnded(3600), RestEvent::breakCompleted()}));
    EXPECT_EQ(h.coach.phase(), RestPhase::breakTaken);
    EXPECT_EQ(h.coach.restRemaining(), std::nullopt);
    EXPECT_EQ(h.coach.currentStretch(), 0);

    // Staying away past the idle reset changes nothing; the first input is greeted.
    EXPECT_EQ(h.run(600, false), std::vector<Timed>{});
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::wokeUpHappy()});
    EXPECT_EQ(h.coach.phase(), RestPhase::active);
    EXPECT_EQ(h.coach.activeElapsed(), 0);
    EXPECT_EQ(h.run(3599, true), std::vector<Timed>{});
    EXPECT_EQ(h.coach.currentStretch(), 3599);
}

TEST(RestCoachTest, InputDuringABreakRestartsTheCalm) {
    Harness h;
    h.startWorking();
    h.advance(600);
    h.coach.acceptRest(); // at 600
    EXPECT_EQ(h.run(99, false), std::vector<Timed>{});
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::sideEye()}); // at 700
    EXPECT_EQ(h.run(50, false), std::vector<Timed>{});
    EXPECT_EQ(h.coach.restRemaining(), 70);
    EXPECT_EQ(h.run(70, false),
              (std::vector<Timed>{{820, RestEvent::stretchEnded(600)}, {820, RestEvent::breakCompleted()}}));
}

// Calm that comes due on the break's last second completes it rather than giving it up.
TEST(RestCoachTest, CalmOnTheLastSecondStillCompletesTheBreak) {
    Harness h;
    h.startWorking();
    h.run(50, true);
    h.coach.acceptRest(); // at 50, given up at 350
    h.run(99, false);
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::sideEye()}); // at 150
    h.run(79, false);
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::sideEye()}); // at 230
    EXPECT_EQ(h.run(120, false),
              (std::vector<Timed>{{350, RestEvent::stretchEnded(50)}, {350, RestEvent::breakCompleted()}}));
}

TEST(RestCoachTest, TypingThroughABreakDrawsSideEyesThenGivesItUp) {
    Harness h;
    h.startWorking();
    h.advance(3600);
    h.coach.acceptRest(); // at 3600
    std::vector<Timed> expected;
    for (int at = 3601; at <= 3881; at += 20) {
        expected.push_back({double(at), RestEvent::sideEye()});
    }
    expected.push_back({3900, RestEvent::restAbandoned()});
    EXPECT_EQ(h.run(300, true), expected);
    // The stretch goes on; only the count toward the next prompt starts over.
    EXPECT_EQ(h.coach.phase(), RestPhase::active);
    EXPECT_EQ(h.coach.activeElapsed(), 0);
    EXPECT_EQ(h.coach.currentStretch(), 3900);
    EXPECT_EQ(h.coach.restRemaining(), std::nullopt);
    EXPECT_EQ(h.run(3600, true), (std::vector<Timed>{{7500, RestEvent::promptShown()}}));
}

TEST(RestCoachTest, RestRemainingIsNeverNegative) {
    Harness h;
    h.startWorking();
    h.coach.acceptRest();
    h.advance(200); // no tick has judged the break yet
    EXPECT_EQ(h.coach.restRemaining(), 0);
}

TEST(RestCoachTest, SnoozeAsksAgainAfterTheSnoozeDuration) {
    Harness h;
    h.startWorking();
    h.advance(100);
    h.coach.promptNow();
    EXPECT_EQ(h.coach.snooze(), Events{RestEvent::snoozed()});
    EXPECT_EQ(h.coach.phase(), RestPhase::snoozed);
    EXPECT_EQ(h.run(900, true), (std::vector<Timed>{{1000, RestEvent::promptShown()}}));
    EXPECT_EQ(h.coach.phase(), RestPhase::prompting);
}

TEST(RestCoachTest, NotNowRestartsTheCountButKeepsTheStretch) {
    Harness h;
    h.startWorking();
    h.run(3600, true);
    EXPECT_EQ(h.coach.notNow(), Events{RestEvent::dismissed()});
    EXPECT_EQ(h.coach.phase(), RestPhase::active);
    EXPECT_EQ(h.coach.activeElapsed(), 0);
    EXPECT_EQ(h.coach.currentStretch(), 3600);
    EXPECT_EQ(h.run(3600, true), (std::vector<Timed>{{7200, RestEvent::promptShown()}}));
}

// Long enough without input, the stretch ends at the last input, not at the tick that noticed.
TEST(RestCoachTest, IdleResetEndsTheStretchAtTheLastInput) {
    const std::map<RestPhase, void (*)(RestCoach&)> into{
        {RestPhase::active, [](RestCoach&) {}},
        {RestPhase::prompting, [](RestCoach& c) { c.promptNow(); }},
        {RestPhase::snoozed,
         [](RestCoach& c) {
             c.promptNow();
             c.snooze();
         }},
    };
    for (const auto& [phase, reach] : into) {
        SCOPED_TRACE(std::string(toString(phase)));
        Harness h;
        h.startWorking();
        h.run(500, true); // last input at 500
        reach(h.coach);
        EXPECT_EQ(h.run(299, false), std::vector<Timed>{});
        EXPECT_EQ(h.coach.phase(), phase);
        EXPECT_EQ(h.tickAfter(1), Events{RestEvent::stretchEnded(500)});
        EXPECT_EQ(h.coach.phase(), RestPhase::idle);
        EXPECT_EQ(h.coach.activeElapsed(), 0);
        EXPECT_EQ(h.coach.currentStretch(), 0);
    }
}

// A long sleep without a presence callback: the first tick ends the stretch at the last input.
TEST(RestCoachTest, FirstTickAfterALongGapDoesNotCountTheGap) {
    Harness h;
    h.startWorking();
    h.run(60, true);
    EXPECT_EQ(h.tickAfter(8 * 3600), Events{RestEvent::stretchEnded(60)});
    EXPECT_EQ(h.coach.phase(), RestPhase::idle);
}

struct SuppressionCase {
    SuppressionReason reason;
    bool fromSnooze; // the prompt falls due at the end of a snooze rather than of active time
};

class RestCoachSuppressionTest : public testing::TestWithParam<SuppressionCase> {};

TEST_P(RestCoachSuppressionTest, HeldBackPromptIsReportedOncePerRecheckAndShownWhenClear) {
    const SuppressionCase& p = GetParam();
    Harness h;
    h.startWorking();
    h.suppression->reason = p.reason;
    double due = 3600;
    if (p.fromSnooze) {
        h.advance(10);
        h.coach.promptNow();
        h.coach.snooze();
        due = 10 + 900;
    }
    EXPECT_EQ(h.run(int(due - h.now()), true),
              (std::vector<Timed>{{due, RestEvent::promptSuppressed(p.reason)}}));
    const RestPhase waiting = p.fromSnooze ? RestPhase::snoozed : RestPhase::active;
    EXPECT_EQ(h.coach.phase(), waiting);
    // Not even asked again until the recheck time.
    EXPECT_EQ(h.run(59, true), std::vector<Timed>{});
    EXPECT_EQ(h.suppression->calls, 1);
    EXPECT_EQ(h.run(1, true), (std::vector<Timed>{{due + 60, RestEvent::promptSuppressed(p.reason)}}));
    h.run(1, true);
    h.suppression->reason.reset();
    EXPECT_EQ(h.run(59, true), (std::vector<Timed>{{due + 120, RestEvent::promptShown()}}));
    EXPECT_EQ(h.coach.phase(), RestPhase::prompting);
    EXPECT_EQ(h.suppression->calls, 3);
}

std::string suppressionCaseName(const testing::TestParamInfo<SuppressionCase>& info) {
    static const char* names[] = {"Microphone", "FullScreen", "QuietHours"};
    return std::string(names[static_cast<int>(info.param.reason)]) +
           (info.param.fromSnooze ? "AfterSnooze" : "AfterActiveTime");
}

INSTANTIATE_TEST_SUITE_P(Reasons, RestCoachSuppressionTest,
                         testing::Values(SuppressionCase{SuppressionReason::microphoneInUse, false},
                                         SuppressionCase{SuppressionReason::fullScreenApp, false},
                                         SuppressionCase{SuppressionReason::quietHours, false},
                                         SuppressionCase{SuppressionReason::microphoneInUse, true},
                                         SuppressionCase{SuppressionReason::fullScreenApp, true},
                                         SuppressionCase{SuppressionReason::quietHours, true}),
                         suppressionCaseName);

// Quiet hours 22:00 to 00:01 (wrapping midnight, judged by whoever serves the suppression): a prompt
// due at 23:59:30 is held back across midnight and shown at the first recheck after 00:01.
TEST(RestCoachTest, QuietHoursAcrossMidnightHoldThePromptUntilTheyEnd) {
    const Date start = berlin.date(2026, 3, 10, 22, 59, 30);
    Harness h(Config::defaults(), start);
    h.input();
    h.coach.tick();
    std::vector<std::pair<std::string, RestEvent>> seen;
    for (int i = 0; i < 3 * 3600 && h.coach.phase() != RestPhase::prompting; ++i) {
        h.advance(1);
        h.input();
        const int minute = berlin.minuteOfDay(h.clock->t);
        h.suppression->reason =
            (minute >= 22 * 60 || minute < 1) ? std::optional(SuppressionReason::quietHours) : std::nullopt;
        for (const RestEvent& e : h.coach.tick()) {
            const DateComponents c = berlin.components(h.clock->t);
            seen.emplace_back(std::to_string(c.day) + " " + std::to_string(c.hour) + ":" +
                                  std::to_string(c.minute) + ":" + std::to_string(c.second),
                              e);
        }
    }
    const auto quiet = RestEvent::promptSuppressed(SuppressionReason::quietHours);
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::string, RestEvent>>{
                  {"10 23:59:30", quiet}, {"11 0:0:30", quiet}, {"11 0:1:30", RestEvent::promptShown()}}));
}

TEST(RestCoachTest, PromptNowIgnoresSuppression) {
    Harness h;
    h.suppression->reason = SuppressionReason::microphoneInUse;
    h.advance(30);
    EXPECT_EQ(h.coach.promptNow(), Events{RestEvent::promptShown()});
    EXPECT_EQ(h.coach.phase(), RestPhase::prompting);
    EXPECT_EQ(h.suppression->calls, 0);
    // From idle it starts a stretch at once.
    h.advance(40);
    EXPECT_EQ(h.coach.currentStretch(), 40);
}

// Every action in every phase, 200 s after the stretch began at t0. Phases not listed for an action
// must return nothing and change nothing.
TEST(RestCoachTest, ActionsActOnlyInTheirPhases) {
    struct Outcome {
        RestPhase phase;
        Events events;
    };
    struct Row {
        const char* name;
        std::vector<RestEvent> (RestCoach::*action)();
        std::map<RestPhase, Outcome> allowed;
    };
    const RestEvent ended = RestEvent::stretchEnded(200);
    using P = RestPhase;
    const std::vector<Row> rows{
        {"promptNow",
         &RestCoach::promptNow,
         {{P::idle, {P::prompting, {RestEvent::promptShown()}}},
          {P::active, {P::prompting, {RestEvent::promptShown()}}},
          {P::snoozed, {P::prompting, {RestEvent::promptShown()}}}}},
        {"acceptRest",
         &RestCoach::acceptRest,
         {{P::active, {P::resting, {RestEvent::restStarted()}}},
          {P::prompting, {P::resting, {RestEvent::restStarted()}}},
          {P::snoozed, {P::resting, {RestEvent::restStarted()}}}}},
        {"snooze", &RestCoach::snooze, {{P::prompting, {P::snoozed, {RestEvent::snoozed()}}}}},
        {"notNow", &RestCoach::notNow, {{P::prompting, {P::active, {RestEvent::dismissed()}}}}},
        {"recordManualBreak",
         &RestCoach::recordManualBreak,
         {{P::idle, {P::active, {RestEvent::breakCompleted()}}},
          {P::active, {P::active, {ended, RestEvent::breakCompleted()}}},
          {P::prompting, {P::active, {ended, RestEvent::breakCompleted()}}},
          {P::snoozed, {P::active, {ended, RestEvent::breakCompleted()}}}}},
        {"cancel",
         &RestCoach::cancel,
         {{P::active, {P::idle, {ended}}},
          {P::prompting, {P::idle, {ended}}},
          {P::snoozed, {P::idle, {ended}}},
          {P::resting, {P::idle, {ended}}},
          {P::breakTaken, {P::idle, {}}}}},
        {"presenceLost",
         &RestCoach::presenceLost,
         {{P::active, {P::idle, {ended}}},
          {P::prompting, {P::idle, {ended}}},
          {P::snoozed, {P::idle, {ended}}}}},
    };

    const auto coachIn = [](Harness& h, RestPhase phase) {
        if (phase != P::idle) {
            h.startWorking();
            h.run(10, true);
        }
        if (phase == P::prompting || phase == P::snoozed) {
            h.coach.promptNow();
        }
        if (phase == P::snoozed) {
            h.coach.snooze();
        }
        if (phase == P::resting || phase == P::breakTaken) {
            h.coach.acceptRest();
        }
        if (phase == P::breakTaken) {
            h.run(120, false);
        }
        h.advance(200 - h.now());
        ASSERT_EQ(h.coach.phase(), phase);
    };

    for (const Row& row : rows) {
        for (const RestPhase from : allRestPhases) {
            SCOPED_TRACE(std::string(row.name) + " from " + std::string(toString(from)));
            Harness h;
            coachIn(h, from);
            const double elapsedBefore = h.coach.activeElapsed();
            const auto events = (h.coach.*row.action)();
            const auto outcome = row.allowed.find(from);
            if (outcome == row.allowed.end()) {
                EXPECT_EQ(events, Events{});
                EXPECT_EQ(h.coach.phase(), from);
                EXPECT_EQ(h.coach.activeElapsed(), elapsedBefore);
            } else {
                EXPECT_EQ(events, outcome->second.events);
                EXPECT_EQ(h.coach.phase(), outcome->second.phase);
            }
            // Only a break in progress has time remaining.
            EXPECT_EQ(h.coach.restRemaining().has_value(), h.coach.phase() == P::resting);
            EXPECT_EQ(h.coach.restEndsAt().has_value(), h.coach.phase() == P::resting);
        }
    }
}

TEST(RestCoachTest, ManualBreakStartsTheNextStretch) {
    Harness h;
    h.startWorking();
    h.run(1000, true);
    EXPECT_EQ(h.coach.recordManualBreak(),
              (Events{RestEvent::stretchEnded(1000), RestEvent::breakCompleted()}));
    EXPECT_EQ(h.coach.currentStretch(), 0);
    h.run(500, true);
    EXPECT_EQ(h.coach.currentStretch(), 500);
    EXPECT_EQ(h.run(300, false), (std::vector<Timed>{{1800, RestEvent::stretchEnded(500)}}));
}

TEST(RestCoachTest, EndingABreakEarlyEndsTheStretchNow) {
    Harness h;
    h.startWorking();
    h.advance(100);
    h.coach.acceptRest();
    h.run(30, false);
    EXPECT_EQ(h.coach.cancel(), Events{RestEvent::stretchEnded(130)});
    EXPECT_EQ(h.coach.phase(), RestPhase::idle);
    // A fresh start later is not a side-eyed break.
    EXPECT_EQ(h.tickAfter(5, true), Events{});
    EXPECT_EQ(h.coach.phase(), RestPhase::active);
}

TEST(RestCoachTest, ConfigChangeTakesEffectAtTheNextTick) {
    Harness h;
    h.startWorking();
    h.run(100, true);
    Config shorter = h.coach.config();
    shorter.restInterval = 60;
    h.coach.setConfig(shorter);
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::promptShown()});
}

TEST(RestCoachTest, ClockSetBackLosesNoActiveTime) {
    Harness h;
    h.startWorking();
    h.run(100, true);
    h.setClockBack(3600);
    h.input();
    EXPECT_EQ(h.coach.tick(), Events{});
    EXPECT_EQ(h.coach.activeElapsed(), 100);
    // The stretch keeps its real length, and the count goes on from there.
    EXPECT_EQ(h.coach.currentStretch(), 100);
    EXPECT_EQ(h.run(3500, true).size(), 1u);
    EXPECT_EQ(h.coach.phase(), RestPhase::prompting);
}

// Active time follows the clock that never jumps: a wall clock set two hours ahead while working adds one
// second, not two hours, and a tick late after a stall adds at most twice the tick interval.
TEST(RestCoachTest, WallClockJumpAheadAddsNoActiveTime) {
    Harness h;
    double steady = 500;
    h.input();
    h.coach.tick(steady);
    for (int i = 0; i < 100; ++i) {
        h.advance(1);
        h.input();
        ASSERT_EQ(h.coach.tick(steady += 1), Events{});
    }
    EXPECT_EQ(h.coach.activeElapsed(), 100);

    h.advance(7200 + 1);
    h.input();
    EXPECT_EQ(h.coach.tick(steady += 1), Events{}) << "no prompt at once";
    EXPECT_EQ(h.coach.activeElapsed(), 101);

    // The main thread stalled for a minute: the stall is not work.
    h.advance(60);
    h.input();
    h.coach.tick(steady += 60);
    EXPECT_EQ(h.coach.activeElapsed(), 101 + h.coach.longestTickCredit());
    EXPECT_EQ(h.coach.longestTickCredit(), 2);

    // The count goes on from there, a second a tick.
    h.advance(1);
    h.input();
    h.coach.tick(steady += 1);
    EXPECT_EQ(h.coach.activeElapsed(), 104);
}

// A wall clock set back must not stretch a snooze by the size of the jump. The tick that sees the jump
// counts as no time passing.
TEST(RestCoachTest, ClockSetBackDoesNotStretchASnooze) {
    Harness h;
    h.startWorking();
    h.advance(10);
    h.coach.promptNow();
    h.coach.snooze(); // due at 910
    h.run(400, true);
    h.setClockBack(86400);
    EXPECT_EQ(h.run(500, true), std::vector<Timed>{});
    EXPECT_EQ(h.tickAfter(1, true), Events{RestEvent::promptShown()});
}

// An action is the first to read the set-back clock: the break it starts still takes 120 s of calm.
TEST(RestCoachTest, ClockSetBackBeforeAnActionKeepsTheBreakWhole) {
    Harness h;
    h.startWorking();
    h.run(10, true);
    h.coach.promptNow();
    h.setClockBack(86400);
    h.coach.acceptRest();
    EXPECT_EQ(h.run(119, false), std::vector<Timed>{});
    EXPECT_EQ(h.tickAfter(1), (Events{RestEvent::stretchEnded(10), RestEvent::breakCompleted()}));
}

// Readings that tell of input up to `lag` seconds before they are taken, as answers to questions asked
// that long ago do.
class LaggingIdle : public IdleSource {
public:
    LaggingIdle(std::shared_ptr<FakeClock> clock, double lag) : clock_(std::move(clock)), lag_(lag) {}
    double secondsSinceLastInput() override {
        Date seen = t0 - 1e6;
        for (const Date input : inputs) {
            if (input <= clock_->t - lag_ && input > seen) {
                seen = input;
            }
        }
        return clock_->t - seen;
    }
    double readingLag() override { return lag_; }
    std::vector<Date> inputs;

private:
    std::shared_ptr<FakeClock> clock_;
    double lag_;
};

// Ticks on the whole second; input at `at` is seen by the first tick whose reading reaches back to it, not
// before and not later, whether it ends idleness or a completed break.
TEST(RestCoachTest, InputIsSeenByTheFirstReadingThatTellsOfIt) {
    struct Case {
        double lag;
        double offset; // of the input after a whole second
        int ticksLate; // after the first tick that follows the input
    };
    const Case cases[] = {{0, 0.5, 0},  {0.3, 0.5, 0}, {0.3, 0.9, 1}, {1, 0.5, 1},
                          {1, 0.01, 1}, {1.5, 0.2, 1}, {1.5, 0.6, 2}, {2, 0.5, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE("lag " + std::to_string(c.lag) + ", input at +" + std::to_string(c.offset));
        const auto clock = std::make_shared<FakeClock>(t0);
        const auto idle = std::make_shared<LaggingIdle>(clock, c.lag);
        RestCoach coach(Config::defaults(), clock, idle, std::make_shared<FakeSuppression>());
        const auto tick = [&] {
            clock->t += 1;
            return coach.tick();
        };
        // The first tick whose phase differs from `phase`, counted from the first tick after the input.
        const auto inputThenTicksUntilNot = [&](RestPhase phase) {
            idle->inputs.push_back(clock->t + c.offset);
            for (int late = 0; late < 10; ++late) {
                const Events events = tick();
                if (coach.phase() != phase) {
                    return std::pair(late, events);
                }
                EXPECT_EQ(events, Events{});
            }
            return std::pair(-1, Events{});
        };

        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tick(), Events{});
        }
        ASSERT_EQ(coach.phase(), RestPhase::idle) << "no input, no stretch";
        const Date input = clock->t + c.offset;
        EXPECT_EQ(inputThenTicksUntilNot(RestPhase::idle), std::pair(c.ticksLate, Events{}));
        ASSERT_EQ(coach.phase(), RestPhase::active);
        EXPECT_EQ(coach.currentStretch(), clock->t - input);

        coach.acceptRest();
        while (coach.phase() == RestPhase::resting && clock->t - input < 1000) {
            tick();
        }
        ASSERT_EQ(coach.phase(), RestPhase::breakTaken);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tick(), Events{});
        }
        EXPECT_EQ(inputThenTicksUntilNot(RestPhase::breakTaken),
                  std::pair(c.ticksLate, Events{RestEvent::wokeUpHappy()}));
        EXPECT_EQ(coach.phase(), RestPhase::active);
    }
}

TEST(RestEventTest, EqualityAndPayloadsFollowTheCase) {
    EXPECT_EQ(RestEvent::stretchEnded(5), RestEvent::stretchEnded(5));
    EXPECT_NE(RestEvent::stretchEnded(5), RestEvent::stretchEnded(6));
    EXPECT_NE(RestEvent::promptSuppressed(SuppressionReason::quietHours),
              RestEvent::promptSuppressed(SuppressionReason::fullScreenApp));
    EXPECT_NE(RestEvent::snoozed(), RestEvent::dismissed());
    EXPECT_EQ(RestEvent::stretchEnded(5).duration(), 5);
    EXPECT_EQ(RestEvent::stretchEnded(5).reason(), std::nullopt);
    EXPECT_EQ(RestEvent::promptSuppressed(SuppressionReason::quietHours).reason(),
              SuppressionReason::quietHours);
    EXPECT_EQ(RestEvent::promptSuppressed(SuppressionReason::quietHours).duration(), std::nullopt);
    EXPECT_EQ(RestEvent::sideEye().kind(), RestEvent::Kind::sideEye);
}

TEST(RestEventTest, ReadableFormNamesCaseAndPayload) {
    const std::vector<std::pair<RestEvent, std::string>> cases{
        {RestEvent::stretchEnded(61.5), "stretchEnded(duration: 61.5)"},
        {RestEvent::stretchEnded(3600), "stretchEnded(duration: 3600)"},
        {RestEvent::promptSuppressed(SuppressionReason::microphoneInUse),
         "promptSuppressed(microphoneInUse)"},
        {RestEvent::promptSuppressed(SuppressionReason::quietHours), "promptSuppressed(quietHours)"},
        {RestEvent::promptShown(), "promptShown"},
        {RestEvent::wokeUpHappy(), "wokeUpHappy"},
    };
    for (const auto& [event, text] : cases) {
        EXPECT_EQ(toString(event), text);
    }
}

TEST(RestPhaseTest, RawValuesAndNamesFollowTheOrder) {
    EXPECT_EQ(restPhaseFromRaw(5), RestPhase::breakTaken);
    EXPECT_EQ(restPhaseFromRaw(6), std::nullopt);
    EXPECT_EQ(restPhaseFromRaw(-1), std::nullopt);
    for (const RestPhase p : allRestPhases) {
        EXPECT_EQ(restPhaseFromRaw(rawValue(p)), p);
    }
    EXPECT_EQ(toString(RestPhase::breakTaken), "breakTaken");
    EXPECT_EQ(toString(RestPhase::idle), "idle");
}

} // namespace
} // namespace halvrick
