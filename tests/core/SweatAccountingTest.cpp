#include "core/SweatAccounting.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

const AppKey a{AppKey::Kind::app, "/apps/a", "A"};
const AppKey b{AppKey::Kind::app, "/apps/b", "B"};

TEST(SweatAccountingTest, HotSecondsAreSplitByCPUSeconds) {
    struct Case {
        const char* what;
        std::map<AppKey, double> cpu;
        HeatState state;
        std::set<std::string> ignoring;
        std::map<AppKey, double> expected;
    };
    const std::vector<Case> cases{
        {"chill credits nothing", {{a, 3}, {b, 1}}, HeatState::chill, {}, {}},
        {"warm credits nothing", {{a, 3}, {b, 1}}, HeatState::warm, {}, {}},
        {"sweating splits the interval", {{a, 3}, {b, 1}}, HeatState::sweating, {}, {{a, 1.5}, {b, 0.5}}},
        {"meltdown splits the same way", {{a, 3}, {b, 1}}, HeatState::meltdown, {}, {{a, 1.5}, {b, 0.5}}},
        {"an ignored app's part goes to nobody", {{a, 3}, {b, 1}}, HeatState::sweating, {a.id}, {{b, 0.5}}},
        {"an idle app gets no entry", {{a, 2}, {b, 0}}, HeatState::sweating, {}, {{a, 2}}},
        {"nothing used, nothing credited", {{a, 0}, {b, 0}}, HeatState::meltdown, {}, {}},
        {"system time counts like any other",
         {{AppKey::system(), 1}, {a, 1}},
         HeatState::sweating,
         {},
         {{AppKey::system(), 1}, {a, 1}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SweatAccounting::credit(c.cpu, 2, c.state, c.ignoring), c.expected) << c.what;
    }
}

} // namespace
} // namespace halvrick
