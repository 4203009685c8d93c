#include "core/BlameWindow.h"

#include <gtest/gtest.h>
#include <numeric>

namespace halvrick {
namespace {

const AppKey editor{AppKey::Kind::app, "/usr/share/applications/editor.desktop", "Editor"};
const AppKey browser{AppKey::Kind::app, "/usr/share/applications/firefox-esr.desktop", "Firefox ESR"};
const AppKey node{AppKey::Kind::process, "node", "node"};

const Date t0 = Date::since1970(1'700'000'000);

Config withTopCount(std::int64_t count) {
    Config config = Config::defaults();
    config.blameTopCount = count;
    return config;
}

std::vector<std::string> names(const std::vector<AppShare>& shares) {
    std::vector<std::string> out;
    for (const AppShare& s : shares) {
        out.push_back(s.app.displayName);
    }
    return out;
}

TEST(BlameWindowTest, SharesOfTheWindowAddUpToTheHostLoad) {
    // Three 2 s samples on 4 cores; whatever no application claimed was booked to the system key, so
    // every sample's CPU seconds are the host's busy seconds.
    struct Tick {
        double at;
        double hostLoad; // fraction of all cores
        std::map<AppKey, double> apps;
    };
    const std::vector<Tick> ticks{
        {0, 0.75, {{editor, 2.0}, {browser, 1.0}}},
        {2, 0.75, {{editor, 3.0}, {browser, 2.0}, {node, 0.5}}},
        {4, 0.25, {{browser, 1.5}}},
    };
    BlameWindow window(4, Config::defaults());
    double busy = 0;
    for (const Tick& tick : ticks) {
        std::map<AppKey, double> cpu = tick.apps;
        const double claimed = std::accumulate(
            cpu.begin(), cpu.end(), 0.0, [](double sum, const auto& entry) { return sum + entry.second; });
        const double hostBusy = tick.hostLoad * 4 * 2;
        cpu[AppKey::system()] = hostBusy - claimed;
        busy += hostBusy;
        window.add(cpu, 2, t0 + tick.at);
    }
    const double hostLoad = busy / (3 * 2 * 4);

    const std::vector<AppShare> all = window.shares({});
    const double sum = std::accumulate(all.begin(), all.end(), 0.0,
                                       [](double s, const AppShare& share) { return s + share.share; });
    EXPECT_NEAR(sum, hostLoad, 1e-12);
    EXPECT_EQ(names(all), (std::vector<std::string>{"Editor", "Firefox ESR", "Linux itself", "node"}));
    EXPECT_DOUBLE_EQ(all[0].share, 5.0 / 24);
    EXPECT_DOUBLE_EQ(all[1].share, 4.5 / 24);

    // Ignoring an application removes exactly its share and nothing else.
    const std::vector<AppShare> rest = window.shares({browser.id});
    const double restSum = std::accumulate(rest.begin(), rest.end(), 0.0,
                                           [](double s, const AppShare& share) { return s + share.share; });
    EXPECT_NEAR(restSum, hostLoad - 4.5 / 24, 1e-12);
    EXPECT_EQ(names(rest), (std::vector<std::string>{"Editor", "Linux itself", "node"}));
    EXPECT_EQ(names(window.topApps({browser.id})), names(rest));
    EXPECT_EQ(window.culprit(HeatState::sweating, {editor.id, browser.id})->app, AppKey::system());
}

TEST(BlameWindowTest, NewWindowBlamesNobody) {
    const BlameWindow window(8, Config::defaults());
    EXPECT_TRUE(window.shares({}).empty());
    EXPECT_TRUE(window.topApps({}).empty());
    EXPECT_EQ(window.culprit(HeatState::meltdown, {}), std::nullopt);
}

TEST(BlameWindowTest, CoreCountBelowTwoCountsAsOne) {
    for (const int cores : {1, 0, -3}) {
        BlameWindow window(cores, Config::defaults());
        EXPECT_EQ(window.coreCount(), 1);
        window.add({{editor, 2}}, 2, t0);
        EXPECT_EQ(window.shares({}), (std::vector<AppShare>{{editor, 1.0}})) << cores;
    }
    BlameWindow eight(8, Config::defaults());
    eight.add({{editor, 4}, {node, 0}}, 2, t0);
    // A key that used nothing is still listed.
    EXPECT_EQ(eight.shares({}), (std::vector<AppShare>{{editor, 0.25}, {node, 0.0}}));
}

TEST(BlameWindowTest, SamplesExpireWhenTheWindowHasPassed) {
    struct Case {
        const char* what;
        double secondAt;
        double expectedShare; // of editor, after adding browser's sample
    };
    const std::vector<Case> cases{
        {"still inside the window", 9.5, 0.5},
        {"exactly one window old is dropped", 10, 0.0},
        {"long gone", 300, 0.0},
        {"clock set back: the later sample is stale", -60, 0.0},
    };
    for (const Case& c : cases) {
        BlameWindow window(1, Config::defaults());
        window.add({{editor, 2}}, 2, t0);
        window.add({{browser, 0}}, 2, t0 + c.secondAt);
        double editorShare = 0;
        for (const AppShare& s : window.shares({})) {
            if (s.app == editor) {
                editorShare = s.share;
            }
        }
        EXPECT_DOUBLE_EQ(editorShare, c.expectedShare) << c.what;
        EXPECT_EQ(window.shares({}).back().app, browser) << c.what;
    }
}

TEST(BlameWindowTest, EqualSharesComeInCodePointOrderOfTheirNames) {
    auto app = [](const char* name) { return AppKey{AppKey::Kind::app, std::string("/apps/") + name, name}; };
    BlameWindow window(2, withTopCount(3));
    window.add({{app("beta"), 1},
                {app("Alpha"), 1},
                {app("alpha"), 1},
                {app("Zed"), 1},
                {app("\xC3\x89mile"), 1},
                {app("zulu"), 1},
                {app("Busy"), 3}},
               2, t0);
    EXPECT_EQ(names(window.shares({})),
              (std::vector<std::string>{"Busy", "Alpha", "Zed", "alpha", "beta", "zulu", "\xC3\x89mile"}));
    EXPECT_EQ(names(window.topApps({})), (std::vector<std::string>{"Busy", "Alpha", "Zed"}));
    EXPECT_EQ(names(window.topApps({"/apps/Alpha"})), (std::vector<std::string>{"Busy", "Zed", "alpha"}));
}

TEST(BlameWindowTest, TopCountLimitsTheList) {
    const std::map<AppKey, double> cpu{{editor, 3}, {browser, 2}, {node, 1}};
    struct Case {
        std::int64_t topCount;
        std::size_t expected;
    };
    for (const Case c : {Case{3, 3}, Case{2, 2}, Case{10, 3}, Case{0, 0}, Case{-1, 0}}) {
        BlameWindow window(1, withTopCount(c.topCount));
        window.add(cpu, 6, t0);
        EXPECT_EQ(window.topApps({}).size(), c.expected) << c.topCount;
    }
}

TEST(BlameWindowTest, CulpritNeedsTheMinimumShareAndPrefersApplications) {
    const AppKey small{AppKey::Kind::app, "/apps/small", "Small"};
    struct Case {
        const char* what;
        HeatState state;
        std::map<AppKey, double> shares; // one core, one 1 s sample: seconds are shares
        std::set<std::string> ignoring;
        std::optional<AppKey> expected;
    };
    const std::vector<Case> cases{
        {"an app above the minimum beats a busier system",
         HeatState::warm,
         {{AppKey::system(), 0.5}, {editor, 0.2}, {small, 0.05}},
         {},
         editor},
        {"only the system reaches the minimum",
         HeatState::sweating,
         {{AppKey::system(), 0.5}, {small, 0.05}},
         {},
         AppKey::system()},
        {"nobody reaches the minimum", HeatState::meltdown, {{small, 0.05}}, {}, std::nullopt},
        {"exactly the minimum counts", HeatState::sweating, {{node, 0.1}}, {}, node},
        {"chill blames nobody, even at full load", HeatState::chill, {{editor, 1.0}}, {}, std::nullopt},
        {"an ignored app is passed over",
         HeatState::sweating,
         {{editor, 0.6}, {browser, 0.3}},
         {editor.id},
         browser},
    };
    for (const Case& c : cases) {
        BlameWindow window(1, Config::defaults());
        window.add(c.shares, 1, t0);
        const std::optional<AppShare> culprit = window.culprit(c.state, c.ignoring);
        EXPECT_EQ(culprit ? std::optional<AppKey>(culprit->app) : std::nullopt, c.expected) << c.what;
    }
}

} // namespace
} // namespace halvrick
