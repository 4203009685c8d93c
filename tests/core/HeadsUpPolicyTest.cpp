#include "core/HeadsUpPolicy.h"

#include "core/SweatEngine.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

void PrintTo(const HeadsUp& h, std::ostream* os) {
    switch (h.kind()) {
    case HeadsUp::Kind::heatingUp:
        *os << "heatingUp(" << rawValue(*h.state()) << ", " << (h.culprit() ? h.culprit()->id : "none")
            << ", " << *h.cpuLoad() << ")";
        return;
    case HeadsUp::Kind::thermal:
        *os << "thermal(" << rawValue(*h.level()) << ")";
        return;
    case HeadsUp::Kind::cooledDown:
        *os << "cooledDown";
        return;
    }
}

namespace {

const Date t0 = Date::sinceReference(800000000);
const AppKey editor{AppKey::Kind::app, "/usr/share/applications/org.example.Editor.desktop", "Editor"};
const AppKey compiler{AppKey::Kind::process, "cc1plus", "cc1plus"};
constexpr double load = 87.5;

using H = HeatState;
using T = ThermalLevel;

std::optional<HeadsUp> heat(HeatState s, std::optional<AppKey> culprit = std::nullopt) {
    return HeadsUp::heatingUp(s, std::move(culprit), load);
}
std::optional<HeadsUp> thermal(ThermalLevel level) {
    return HeadsUp::thermal(level);
}
const std::optional<HeadsUp> cooled = HeadsUp::cooledDown();
const std::optional<HeadsUp> none;

struct Call {
    double at; // seconds after t0; may run backwards where the wall clock was set back
    HeatState state;
    std::optional<HeadsUp> expected;
    std::optional<double> score; // none: the state is forced
    std::optional<AppKey> culprit;
    ThermalLevel thermal = ThermalLevel::nominal;
    bool suppressed = false;
    std::optional<bool> enable; // set headsUpEnabled before the call

    Call by(const AppKey& key) const {
        return with([&](Call& c) { c.culprit = key; });
    }
    Call withThermal(ThermalLevel level) const {
        return with([&](Call& c) { c.thermal = level; });
    }
    // The heat score under the displayed state.
    Call scoring(std::optional<double> value) const {
        return with([&](Call& c) { c.score = value; });
    }
    Call held() const {
        return with([](Call& c) { c.suppressed = true; });
    }
    Call enabling(bool on) const {
        return with([&](Call& c) { c.enable = on; });
    }

private:
    template <class F> Call with(F change) const {
        Call c = *this;
        change(c);
        return c;
    }
};

// A score well inside each state, as the engine gives once the state has settled.
double settledScore(HeatState state) {
    switch (state) {
    case HeatState::chill:
        return 5;
    case HeatState::warm:
        return 35;
    case HeatState::sweating:
        return 60;
    case HeatState::meltdown:
        return 90;
    }
    return 0;
}

Call call(double at, HeatState state, std::optional<HeadsUp> expected) {
    return Call{
        at,    state,       std::move(expected), settledScore(state), std::nullopt, ThermalLevel::nominal,
        false, std::nullopt};
}

struct Scenario {
    const char* name;
    std::vector<Call> calls;
    Config config = Config::defaults();
};

Config warmIsEnough() {
    Config c;
    c.headsUpMinimumState = HeatState::warm;
    return c;
}

class HeadsUpPolicyTest : public testing::TestWithParam<Scenario> {};

TEST_P(HeadsUpPolicyTest, GivesTheExpectedNotices) {
    HeadsUpPolicy policy(GetParam().config);
    for (const Call& c : GetParam().calls) {
        SCOPED_TRACE("at " + std::to_string(c.at));
        if (c.enable) {
            Config config = policy.config();
            config.headsUpEnabled = *c.enable;
            policy.setConfig(config);
        }
        EXPECT_EQ(policy.evaluate(c.state, c.score, c.culprit, load, c.thermal, c.suppressed, t0 + c.at),
                  c.expected);
    }
}

const Scenario scenarios[] = {
    {"SustainComesFirstThenSilence",
     {
         call(0, H::sweating, none).by(editor),
         call(9.9, H::sweating, none).by(editor),
         call(10, H::sweating, heat(H::sweating, editor)).by(editor),
         call(11, H::sweating, none).by(editor),
         call(4000, H::sweating, none).by(editor),
     }},
    {"BelowTheMinimumNothingHappens",
     {
         call(0, H::warm, none),
         call(100, H::warm, none),
     }},
    {"EscalationSkipsTheCooldownsButNeverRepeats",
     {
         call(0, H::sweating, none),
         call(10, H::sweating, heat(H::sweating)),
         call(20, H::meltdown, heat(H::meltdown)),
         call(30, H::meltdown, none),
         call(40, H::sweating, none),
         call(50, H::meltdown, none),
     }},
    {"CooledDownOnce",
     {
         call(0, H::sweating, none),
         call(10, H::sweating, heat(H::sweating)),
         call(20, H::warm, cooled),
         call(21, H::warm, none),
         call(22, H::chill, none),
     }},
    {"CoolingWhileSuppressedIsForgotten",
     {
         call(0, H::sweating, none),
         call(10, H::sweating, heat(H::sweating)),
         call(20, H::warm, none).held(),
         call(21, H::warm, none),
         call(400, H::sweating, none),
         call(410, H::sweating, heat(H::sweating)),
     }},
    {"GlobalCooldownHoldsANewEpisode",
     {
         call(0, H::sweating, none).by(editor),
         call(10, H::sweating, heat(H::sweating, editor)).by(editor),
         call(20, H::warm, cooled),
         call(100, H::sweating, none).by(compiler),
         call(110, H::sweating, none).by(compiler),
         call(309, H::meltdown, none).by(compiler),
         call(310, H::meltdown, heat(H::meltdown, compiler)).by(compiler),
     }},
    {"PerAppCooldownHoldsTheSameCulpritOnly",
     {
         call(0, H::sweating, none).by(editor),
         call(10, H::sweating, heat(H::sweating, editor)).by(editor),
         call(20, H::warm, cooled),
         call(600, H::sweating, none).by(editor),
         call(610, H::sweating, none).by(editor),
         call(620, H::sweating, heat(H::sweating, compiler)).by(compiler),
         call(630, H::chill, cooled),
         call(1200, H::sweating, none).by(editor),
         call(1210, H::sweating, heat(H::sweating, editor)).by(editor),
     }},
    {"SuppressionDelaysButKeepsTheHotPeriod",
     {
         call(0, H::sweating, none).held(),
         call(10, H::sweating, none).held(),
         call(15, H::sweating, heat(H::sweating)),
         call(20, H::meltdown, none).held(),
         call(21, H::meltdown, heat(H::meltdown)),
     }},
    {"ThermalRiseThenCooldownLetsHeatRulesSpeak",
     {
         call(0, H::sweating, none).withThermal(T::fair),
         call(1, H::sweating, thermal(T::serious)).withThermal(T::serious),
         call(61, H::sweating, heat(H::sweating)).withThermal(T::critical),
         call(62, H::sweating, none).withThermal(T::critical),
         call(70, H::sweating, none).withThermal(T::serious),
         call(901, H::sweating, thermal(T::critical)).withThermal(T::critical),
     }},
    {"ThermalNeedsARiseToSerious",
     {
         call(0, H::chill, thermal(T::serious)).withThermal(T::serious),
         call(1000, H::chill, none).withThermal(T::serious),
         call(1001, H::chill, none).withThermal(T::nominal),
         call(1002, H::chill, none).withThermal(T::fair),
         call(1003, H::chill, none).withThermal(T::critical).held(),
         call(1004, H::chill, none).withThermal(T::critical),
     }},
    {"DisabledStillRemembersTheThermalLevel",
     {
         call(0, H::meltdown, none).withThermal(T::serious).enabling(false),
         call(100, H::meltdown, none).withThermal(T::serious),
         call(101, H::sweating, none).withThermal(T::serious).enabling(true),
         call(111, H::sweating, heat(H::sweating)).withThermal(T::serious),
         call(112, H::sweating, none).withThermal(T::nominal).enabling(false),
         call(113, H::sweating, thermal(T::critical)).withThermal(T::critical).enabling(true),
     }},
    {"MinimumStateComesFromTheConfig",
     {
         call(0, H::warm, none),
         call(10, H::warm, heat(H::warm)),
         call(11, H::chill, cooled),
     },
     warmIsEnough()},
    // Times stamped before the last notice mean the wall clock was set back: the cooldowns count as
    // over instead of silencing the policy for as long as the jump.
    {"ClockSetBackEndsTheCooldowns",
     {
         call(5000, H::sweating, none).by(editor),
         call(5010, H::sweating, heat(H::sweating, editor)).by(editor),
         call(5020, H::warm, cooled),
         call(5030, H::chill, thermal(T::serious)).withThermal(T::serious),
         call(5, H::sweating, none).by(editor).withThermal(T::fair),
         call(15, H::sweating, heat(H::sweating, editor)).by(editor).withThermal(T::fair),
         call(16, H::sweating, thermal(T::critical)).withThermal(T::critical),
     }},
    // The displayed state is held for 8 s after the score has fallen: a short burst has no real heat
    // left by the end of the sustain, and its episode ends without a word.
    {"HeatGoneUnderAHeldStateIsNotAnnounced",
     {
         call(0, H::meltdown, none).scoring(86.5),
         call(4, H::meltdown, none).scoring(58.8),
         call(9, H::meltdown, none).scoring(4.8),
         call(10, H::meltdown, none).scoring(2.9),
         call(11, H::meltdown, none).scoring(1.8),
         call(12, H::chill, none).scoring(1.1),
         call(400, H::meltdown, none).scoring(90),
         call(410, H::meltdown, heat(H::meltdown)).scoring(90),
     }},
    // Each bound belongs to the state above it; a held state names only as much heat as is left. More
    // heat is named again only once the score has cleared its bound by the engine's margin.
    {"AHeldStateNamesTheHeatThatIsLeft",
     {
         call(0, H::meltdown, none).scoring(90),
         call(10, H::meltdown, none).scoring(24.9),
         call(11, H::meltdown, none).scoring(49.9),
         call(12, H::meltdown, heat(H::sweating)).scoring(50),
         call(13, H::meltdown, none).scoring(75),
         call(14, H::meltdown, none).scoring(79.9),
         call(15, H::meltdown, heat(H::meltdown)).scoring(80),
         call(25, H::meltdown, none).scoring(85),
         call(30, H::meltdown, none).scoring(10),
         call(31, H::chill, cooled).scoring(1),
         call(400, H::meltdown, none).scoring(90),
         call(410, H::meltdown, heat(H::meltdown)).scoring(75),
     }},
    {"AnEscalationMustBeRealToo",
     {
         call(0, H::sweating, none).scoring(60),
         call(10, H::sweating, heat(H::sweating)).scoring(60),
         call(20, H::meltdown, none).scoring(80).held(),
         call(21, H::meltdown, none).scoring(72),
         call(22, H::meltdown, none).scoring(76),
         call(23, H::meltdown, heat(H::meltdown)).scoring(81),
         call(24, H::meltdown, none).scoring(90),
     }},
    // A score above the state shown means the state is about to rise: the notice waits for it rather
    // than name less heat and escalate a moment later. A forced state stands on no score, and critical
    // thermal pressure is a meltdown whatever the load.
    {"ARisingStateIsAwaitedAndForcedOrCriticalStatesStand",
     {
         call(0, H::sweating, none).scoring(99),
         call(10, H::sweating, none).scoring(99),
         call(12, H::sweating, none).scoring(99),
         call(13, H::meltdown, heat(H::meltdown)).scoring(99),
         call(14, H::warm, cooled).scoring(99),
         call(400, H::meltdown, none).scoring(std::nullopt),
         call(410, H::meltdown, heat(H::meltdown)).scoring(std::nullopt),
         call(411, H::chill, cooled).scoring(std::nullopt),
         call(800, H::meltdown, thermal(T::serious)).scoring(35).withThermal(T::serious),
         call(801, H::meltdown, none).scoring(35).withThermal(T::serious),
         call(811, H::meltdown, none).scoring(35).withThermal(T::serious),
         call(812, H::meltdown, heat(H::meltdown)).scoring(35).withThermal(T::critical),
     }},
    {"ClockSetBackRestartsTheSustain",
     {
         call(3000, H::sweating, none),
         call(40, H::sweating, none),
         call(49, H::sweating, none),
         call(50, H::sweating, heat(H::sweating)),
     }},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, HeadsUpPolicyTest, testing::ValuesIn(scenarios),
                         [](const testing::TestParamInfo<Scenario>& info) {
                             return std::string(info.param.name);
                         });

// A machine's load second by second, fed through the heat engine as the main tick does: the notices a
// whole spike brings.
struct Spike {
    const char* name;
    std::vector<std::pair<int, std::vector<double>>> loads; // seconds at each pattern, repeated
    std::vector<HeadsUp::Kind> expected;
    std::vector<std::optional<HeatState>> named;
};

class HeadsUpSpikeTest : public testing::TestWithParam<Spike> {};

TEST_P(HeadsUpSpikeTest, OneNoticePerSpikeUnlessTheHeatReallyChanges) {
    SweatEngine engine(Config::defaults());
    HeadsUpPolicy policy(Config::defaults());
    std::vector<HeadsUp::Kind> kinds;
    std::vector<std::optional<HeatState>> named;
    double at = 0;
    for (const auto& [seconds, pattern] : GetParam().loads) {
        for (int i = 0; i < seconds; ++i, at += 1) {
            engine.ingest(pattern[static_cast<std::size_t>(i) % pattern.size()], t0 + at);
            if (const auto h = policy.evaluate(engine.displayedState(), engine.score(), std::nullopt, load,
                                               ThermalLevel::nominal, false, t0 + at)) {
                kinds.push_back(h->kind());
                named.push_back(h->state());
            }
        }
    }
    EXPECT_EQ(kinds, GetParam().expected);
    EXPECT_EQ(named, GetParam().named);
}

using K = HeadsUp::Kind;
const std::vector<double> idle{2};
// A compile whose load hovers about the meltdown bound, now under it, now a little over it.
const std::vector<double> aboutTheMeltdownBound = [] {
    std::vector<double> loads(20, 72);
    loads.insert(loads.end(), 5, 79);
    return loads;
}();

const Spike spikes[] = {
    {"AShortBurstToFull",
     {{5, idle}, {20, {100}}, {40, idle}},
     {K::heatingUp, K::cooledDown},
     {H::meltdown, std::nullopt}},
    {"ALoadAboutABoundIsOneHeat",
     {{5, idle}, {180, aboutTheMeltdownBound}, {40, idle}},
     {K::heatingUp, K::cooledDown},
     {H::sweating, std::nullopt}},
    // The heat climbs on while the first notice falls due: the state is a moment behind the score.
    {"HeatStillClimbingWhenTheNoticeIsDue",
     {{5, idle}, {11, {60}}, {30, {95}}, {40, idle}},
     {K::heatingUp, K::cooledDown},
     {H::meltdown, std::nullopt}},
    {"ARealSecondStepIsAnnounced",
     {{5, idle}, {40, {60}}, {40, {95}}, {40, idle}},
     {K::heatingUp, K::heatingUp, K::cooledDown},
     {H::sweating, H::meltdown, std::nullopt}},
    {"HeatGoneAndBackIsANewSpike",
     {{5, idle}, {30, {90}}, {400, idle}, {30, {90}}, {40, idle}},
     {K::heatingUp, K::cooledDown, K::heatingUp, K::cooledDown},
     {H::meltdown, std::nullopt, H::meltdown, std::nullopt}},
};

INSTANTIATE_TEST_SUITE_P(Spikes, HeadsUpSpikeTest, testing::ValuesIn(spikes),
                         [](const testing::TestParamInfo<Spike>& info) {
                             return std::string(info.param.name);
                         });

TEST(HeadsUpTest, EqualityAndPayloadsFollowTheCase) {
    EXPECT_EQ(HeadsUp::heatingUp(H::meltdown, editor, 90), HeadsUp::heatingUp(H::meltdown, editor, 90));
    EXPECT_NE(HeadsUp::heatingUp(H::meltdown, editor, 90), HeadsUp::heatingUp(H::meltdown, compiler, 90));
    EXPECT_NE(HeadsUp::heatingUp(H::meltdown, editor, 90), HeadsUp::heatingUp(H::meltdown, std::nullopt, 90));
    EXPECT_NE(HeadsUp::heatingUp(H::meltdown, editor, 90), HeadsUp::heatingUp(H::meltdown, editor, 91));
    EXPECT_NE(HeadsUp::heatingUp(H::sweating, editor, 90), HeadsUp::heatingUp(H::meltdown, editor, 90));
    EXPECT_NE(HeadsUp::thermal(T::serious), HeadsUp::thermal(T::critical));
    EXPECT_NE(HeadsUp::thermal(T::serious), HeadsUp::cooledDown());

    const HeadsUp h = HeadsUp::heatingUp(H::warm, compiler, 42);
    EXPECT_EQ(h.kind(), HeadsUp::Kind::heatingUp);
    EXPECT_EQ(h.state(), H::warm);
    EXPECT_EQ(h.culprit(), compiler);
    EXPECT_EQ(h.cpuLoad(), 42);
    EXPECT_EQ(h.level(), std::nullopt);
    const HeadsUp t = HeadsUp::thermal(T::critical);
    EXPECT_EQ(t.level(), T::critical);
    EXPECT_EQ(t.state(), std::nullopt);
    EXPECT_EQ(t.culprit(), std::nullopt);
    EXPECT_EQ(t.cpuLoad(), std::nullopt);
}

} // namespace
} // namespace halvrick
