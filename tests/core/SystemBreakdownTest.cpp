#include "core/SystemBreakdown.h"

#include "core/BlameWindow.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace halvrick {
namespace {

const Date t0 = Date::since1970(1'700'000'000);

std::vector<PSRow> listing(const std::string& name) {
    std::ifstream in(std::string(HALVRICK_TEST_DATA) + "/ps/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return PSOutput::parse(text.str());
}

TEST(SystemBreakdownTest, GroupsTheGrowthBetweenTwoListingsByName) {
    SystemBreakdown breakdown(4);
    // The browser's main process belongs to an application and is left out.
    const std::set<std::int32_t> attributed{2210};
    EXPECT_TRUE(breakdown.ingest(listing("listing-1.txt"), attributed, t0).empty());
    const std::vector<SystemPart> parts = breakdown.ingest(listing("listing-2.txt"), attributed, t0 + 2);

    // 4 cores over 2 s: one CPU second is 0.125. Both kworker threads and both content processes
    // add up; ties come in name order (upper case first). A time that fell (wireplumber), a process
    // that is new (make) or gone (Web Content) adds nothing.
    EXPECT_EQ(parts, (std::vector<SystemPart>{
                         {"stress-ng", 0.5},
                         {"Isolated Web Co", 0.25},
                         {"kworker", 0.25},
                         {"caf\xC3\xA9-\xEF\xBF\xBD-daemon", 0.125},
                         {"gnome-shell", 0.125},
                         {"ksoftirqd", 0.125},
                     }));
}

TEST(SystemBreakdownTest, FirstListingAfterConstructionOrResetGivesNothing) {
    const std::vector<PSRow> before{{10, 1, "/usr/sbin/cupsd"}};
    const std::vector<PSRow> after{{10, 2, "/usr/sbin/cupsd"}};
    SystemBreakdown breakdown(1);
    EXPECT_TRUE(breakdown.ingest(before, {}, t0).empty());
    EXPECT_EQ(breakdown.ingest(after, {}, t0 + 1), (std::vector<SystemPart>{{"cupsd", 1.0}}));

    breakdown.reset();
    EXPECT_TRUE(breakdown.previous().empty());
    EXPECT_EQ(breakdown.lastTime(), std::nullopt);
    EXPECT_TRUE(breakdown.ingest(after, {}, t0 + 2).empty());
}

TEST(SystemBreakdownTest, NoElapsedTimeGivesNothingButTheListingIsRemembered) {
    for (const double gap : {0.0, -5.0}) {
        SystemBreakdown breakdown(2);
        breakdown.ingest({{10, 1, "a"}}, {}, t0);
        EXPECT_TRUE(breakdown.ingest({{10, 3, "a"}}, {}, t0 + gap).empty()) << gap;
        EXPECT_EQ(breakdown.lastTime(), t0 + gap);
        // Growth counts from the remembered listing, not from the first one.
        EXPECT_EQ(breakdown.ingest({{10, 4, "a"}}, {}, t0 + gap + 1), (std::vector<SystemPart>{{"a", 0.5}}))
            << gap;
    }
}

TEST(SystemBreakdownTest, ExcludedProcessesAreRememberedForTheNextListing) {
    SystemBreakdown breakdown(1);
    breakdown.ingest({{10, 1, "a"}}, {10}, t0);
    EXPECT_TRUE(breakdown.ingest({{10, 5, "a"}}, {10}, t0 + 1).empty());
    EXPECT_EQ(breakdown.previous().at(10), 5);
    // Half a second over the two seconds of the window.
    EXPECT_EQ(breakdown.ingest({{10, 5.5, "a"}}, {}, t0 + 2), (std::vector<SystemPart>{{"a", 0.25}}));
}

// The system row's share comes from the blame window; the parts under it must come from a window as
// long, or a short burst of one part reads larger than the whole system.
TEST(SystemBreakdownTest, PartsShareTheBlameWindowOfTheSystemRow) {
    const Config config;
    SystemBreakdown breakdown(2);
    BlameWindow blame(2, config);
    // kdamond works hard for two seconds, then rests; cupsd ticks along.
    double kdamond = 0;
    double cupsd = 0;
    breakdown.ingest({{7, kdamond, "kdamond.0"}, {8, cupsd, "cupsd"}}, {}, t0);
    for (int step = 1; step <= 8; ++step) {
        const double burst = step == 1 ? 3.0 : 0.0;
        kdamond += burst;
        cupsd += 0.1;
        const Date at = t0 + 2.0 * step;
        const std::vector<SystemPart> parts =
            breakdown.ingest({{7, kdamond, "kdamond.0"}, {8, cupsd, "cupsd"}}, {}, at);
        blame.add({{AppKey::system(), burst + 0.1}}, 2, at);
        const std::vector<AppShare> shares = blame.shares({});
        ASSERT_EQ(shares.size(), 1U);
        double sum = 0;
        for (const SystemPart& part : parts) {
            EXPECT_LE(part.share, shares[0].share + 1e-12) << part.name << " at step " << step;
            sum += part.share;
        }
        EXPECT_NEAR(sum, shares[0].share, 1e-12) << "step " << step;
        // Six listings later the burst has left both windows.
        const bool burstListed = std::any_of(parts.begin(), parts.end(),
                                             [](const SystemPart& p) { return p.name == "kdamond.0"; });
        EXPECT_EQ(burstListed, step < 6) << "step " << step;
    }
}

TEST(SystemBreakdownTest, CoreCountBelowTwoCountsAsOne) {
    for (const int cores : {1, 0, -2}) {
        SystemBreakdown breakdown(cores);
        EXPECT_EQ(breakdown.coreCount(), 1);
        breakdown.ingest({{10, 0, "a"}}, {}, t0);
        EXPECT_EQ(breakdown.ingest({{10, 2, "a"}}, {}, t0 + 2), (std::vector<SystemPart>{{"a", 1.0}}))
            << cores;
    }
}

TEST(SystemBreakdownTest, AProcessListedTwiceCountsOnce) {
    SystemBreakdown breakdown(1);
    breakdown.ingest({{10, 1, "a"}, {10, 2, "a"}}, {}, t0);
    EXPECT_EQ(breakdown.previous().at(10), 2);
    EXPECT_EQ(breakdown.ingest({{10, 3, "a"}, {10, 3, "a"}}, {}, t0 + 1),
              (std::vector<SystemPart>{{"a", 1.0}}));
}

} // namespace
} // namespace halvrick
