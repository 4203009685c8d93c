#include "model/Copy.h"

#include <gtest/gtest.h>
#include <set>

namespace halvrick {
namespace {

using P = Personality;
using H = HeatState;

// Hands out the given index and remembers every range it was asked for.
struct FixedIndex {
    std::size_t index = 0;
    std::vector<std::size_t> ranges;

    Copy::RandomIndex generator() {
        return [this](std::size_t n) {
            ranges.push_back(n);
            return index;
        };
    }
};

const AppKey firefox{AppKey::Kind::app, "/usr/share/applications/firefox-esr.desktop", "Firefox"};
const AppKey cargo{AppKey::Kind::process, "cargo", "cargo"};

// Kept out of line: inlined into the tests, the notice's optional culprit trips GCC 12's
// maybe-uninitialized warning in sanitizer builds.
[[gnu::noinline]] HeadsUp heatingUp(HeatState state, std::optional<AppKey> culprit, double cpuLoad) {
    return HeadsUp::heatingUp(state, std::move(culprit), cpuLoad);
}

TEST(CopyVoiceTest, HeatLinesAreFiveDistinctLinesForEveryVoiceAndState) {
    for (const P p : allPersonalities) {
        for (const H s : allHeatStates) {
            const std::vector<std::string> lines = Copy::heatLines(s, p);
            EXPECT_EQ(lines.size(), 5u) << toString(p) << ' ' << rawValue(s);
            EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
        }
    }
}

TEST(CopyVoiceTest, HeatLinesInTheirOrder) {
    struct Row {
        P personality;
        H state;
        std::size_t index;
        const char* line;
    };
    const Row rows[] = {
        {P::mild, H::chill, 0, "Easy day. Love this for us."},
        {P::mild, H::warm, 4, "Warming up. Not worried. Mostly."},
        {P::mild, H::sweating, 0, "Who opened 40 tabs? Asking for me."},
        {P::mild, H::meltdown, 4, "I am becoming soup."},
        {P::dramatic, H::chill, 0, "Zero drops. Zero drama. (Okay, a little drama.)"},
        {P::dramatic, H::warm, 1, "The laptop is getting… cozy."},
        {P::dramatic, H::sweating, 1, "Every fan in this computer is screaming."},
        {P::dramatic, H::meltdown, 4, "I'm melting! Meeeelting! (Dramatically.)"},
        {P::deadpan, H::chill, 2, "The fans are off. I have no notes."},
        {P::deadpan, H::warm, 0, "Huh. Warm."},
        {P::deadpan, H::sweating, 4, "I'm going to need everyone to calm down."},
        {P::deadpan, H::meltdown, 3, "I have become soup. That's the update."},
        {P::gremlin, H::chill, 0, "no thoughts. just pea. hehe."},
        {P::gremlin, H::warm, 3, "ooh. spicy. do it again. no don't."},
        {P::gremlin, H::sweating, 2, "WHO IS DOING THIS. show yourself."},
        {P::gremlin, H::meltdown, 4, "send a fan. send a snack. send HELP."},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Copy::heatLines(r.state, r.personality).at(r.index), r.line);
    }
}

TEST(CopyVoiceTest, HeatLineNeverRepeatsTheLineOnShow) {
    const std::vector<std::string> lines = Copy::heatLines(H::sweating, P::deadpan);
    for (std::size_t shown = 0; shown < lines.size(); ++shown) {
        std::vector<std::string> others = lines;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(shown));
        for (std::size_t i = 0; i < others.size(); ++i) {
            FixedIndex random{i, {}};
            EXPECT_EQ(Copy::heatLine(H::sweating, P::deadpan, lines[shown], random.generator()), others[i]);
            EXPECT_EQ(random.ranges, std::vector<std::size_t>{4});
        }
    }
}

TEST(CopyVoiceTest, HeatLineDrawsFromTheWholeListWhenNothingOfItIsOnShow) {
    for (const char* onShow : {"", "I can't read what your computer is doing right now.", "Huh. Warm."}) {
        FixedIndex random{4, {}};
        EXPECT_EQ(Copy::heatLine(H::meltdown, P::mild, onShow, random.generator()), "I am becoming soup.");
        EXPECT_EQ(random.ranges, std::vector<std::size_t>{5});
    }
}

TEST(CopyVoiceTest, BlameLineForNobodyAndForTheSystemIsFixedInEveryVoice) {
    for (const P p : allPersonalities) {
        FixedIndex random;
        EXPECT_EQ(Copy::blameLine(std::nullopt, p, random.generator()), "Nobody's bothering me right now.");
        EXPECT_EQ(Copy::blameLine(AppKey::system(), p, random.generator()),
                  "It's Linux doing its own thing. Not your apps.");
        EXPECT_TRUE(random.ranges.empty());
    }
}

TEST(CopyVoiceTest, BlameLineTemplatesForApplicationsAndProcesses) {
    struct Row {
        P personality;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {P::mild,
         {"Firefox is doing this to me 😰", "It's Firefox. It's always Firefox.",
          "Firefox is making me sweat."}},
        {P::dramatic,
         {"Firefox. Firefox. Firefox. It's ALWAYS Firefox.", "Firefox is personally attacking me.",
          "I'd like to file a complaint about Firefox.", "Firefox did this. I have witnesses."}},
        {P::deadpan,
         {"Firefox is doing it. Obviously.", "It's Firefox. I'm not surprised.", "Firefox. Again. Cool.",
          "Well. Firefox. There it is."}},
        {P::gremlin,
         {"Firefox did it. i saw them.", "it's Firefox! get them!", "Firefox is cooking me. rude.",
          "Firefox has been naughty."}},
    };
    for (const Row& r : rows) {
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            FixedIndex random{i, {}};
            EXPECT_EQ(Copy::blameLine(firefox, r.personality, random.generator()), r.lines[i]);
            EXPECT_EQ(random.ranges, std::vector<std::size_t>{r.lines.size()});
        }
    }
    // A process key speaks through the same templates, with its own name.
    FixedIndex random{1, {}};
    EXPECT_EQ(Copy::blameLine(cargo, P::gremlin, random.generator()), "it's cargo! get them!");
}

TEST(CopyVoiceTest, BlameLineSurvivesAGeneratorThatBreaksItsRange) {
    FixedIndex random{7, {}};
    EXPECT_EQ(Copy::blameLine(firefox, P::mild, random.generator()), "It's Firefox. It's always Firefox.");
}

TEST(CopyVoiceTest, MemoryBlameLines) {
    const AppMemory app{"/usr/share/applications/code.desktop", "Code", 1610612736}; // 1.5 GiB
    EXPECT_EQ(Copy::memoryBlameLine(app, P::mild), "Code is holding 1.5 GB. That's why I feel full.");
    EXPECT_EQ(Copy::memoryBlameLine(app, P::dramatic), "Code has swallowed 1.5 GB. I am a balloon.");
    EXPECT_EQ(Copy::memoryBlameLine(app, P::deadpan), "Code: 1.5 GB of memory. Noted.");
    EXPECT_EQ(Copy::memoryBlameLine(app, P::gremlin), "Code is hoarding 1.5 GB in there. Rude.");
    EXPECT_EQ(Copy::memoryBlameLine({"x", "x", 0}, P::deadpan), "x: 0 B of memory. Noted.");
}

TEST(CopyVoiceTest, HeadsUpInEveryVoice) {
    // 87.5 % shows as 88 %: halves go away from zero.
    const HeadsUp busyNobody = heatingUp(H::sweating, std::nullopt, 87.5);
    const HeadsUp busyApp = heatingUp(H::sweating, firefox, 87.5);
    const HeadsUp busySystem = heatingUp(H::sweating, AppKey::system(), 87.5);
    const HeadsUp hotNobody = heatingUp(H::meltdown, std::nullopt, 87.5);
    const HeadsUp hotApp = heatingUp(H::meltdown, firefox, 87.5);
    const HeadsUp hotSystem = heatingUp(H::meltdown, AppKey::system(), 87.5);
    const HeadsUp critical = HeadsUp::thermal(ThermalLevel::critical);
    const HeadsUp serious = HeadsUp::thermal(ThermalLevel::serious);
    const HeadsUp cooled = HeadsUp::cooledDown();
    struct Row {
        P personality;
        const HeadsUp& h;
        const char* text;
    };
    const Row rows[] = {
        {P::mild, busyNobody, "Heads up: 88% busy and I'm starting to sweat 😅"},
        {P::mild, busyApp, "Heads up: Firefox is turning up the heat. 88% busy and I'm starting to sweat 😅"},
        {P::mild, busySystem, "Getting sweaty from Linux's own work (88% busy). Not your apps, promise."},
        {P::mild, hotNobody, "88% busy and I'm melting. Lots of little things at once 🫠"},
        {P::mild, hotApp, "Firefox is cooking me. 88% busy and I'm melting 🫠"},
        {P::mild, hotSystem, "I'm melting, but it's Linux's own work (88% busy). Not your apps."},
        {P::mild, critical, "I'm genuinely overheating. Linux may slow me down to cool off 🥵"},
        {P::mild, serious, "Okay, I'm actually hot now, not just busy. Give me some air? 🥵"},
        {P::mild, cooled, "Phew. Back to chill. Thank you 😌"},
        {P::dramatic, busyNobody, "Heads up: 88% busy and I'm starting to SWEAT. Who is doing this 😅"},
        {P::dramatic, busyApp, "Firefox is making me SWEAT. 88% busy. I can feel every core 😰"},
        {P::dramatic, busySystem,
         "Linux is making me sweat. 88% busy. I'm not okay, but it's not your apps."},
        {P::dramatic, hotNobody, "88% busy and I'm MELTING. Multiple culprits. Zero mercy 🫠"},
        {P::dramatic, hotApp, "Firefox is COOKING me alive. 88% busy. I am soup 🫠"},
        {P::dramatic, hotSystem,
         "I'm MELTING and it's Linux doing it. 88% busy. Not your apps. Still furious."},
        {P::dramatic, critical,
         "I'm ACTUALLY overheating. This is an emergency. Linux may slow me down 🥵"},
        {P::dramatic, serious, "Okay. Hot. Truly hot. Not a bit. Save me 🥵"},
        {P::dramatic, cooled, "PHEW. I'm alive. Barely. Thank you 😮💨"},
        {P::deadpan, busyNobody, "88% busy. I'm sweating. Several little culprits."},
        {P::deadpan, busyApp, "Firefox is at 88%. I'm sweating. Just so you know."},
        {P::deadpan, busySystem, "Linux is at 88%. I'm sweating. Cool."},
        {P::deadpan, hotNobody, "88% busy. I'm melting. Several little culprits."},
        {P::deadpan, hotApp, "Firefox is at 88%. I'm melting. That's the situation."},
        {P::deadpan, hotSystem, "Linux is at 88%. I'm melting. Nobody's fault. Still hot."},
        {P::deadpan, critical, "I'm overheating. Linux may slow me down. That's all."},
        {P::deadpan, serious, "I'm actually hot now. Not busy. Hot."},
        {P::deadpan, cooled, "Cool now. Fine. Thanks."},
        {P::gremlin, busyNobody, "88% busy and i'm sweaty. multiple little crimes. 😅"},
        {P::gremlin, busyApp, "Firefox is making me sweaty at 88%. rude. 😅"},
        {P::gremlin, busySystem, "Linux is making me sweaty at 88%. not your apps. i checked. 😅"},
        {P::gremlin, hotNobody, "88% busy and i'm MELTING. everyone is doing this. chaos. 🫠"},
        {P::gremlin, hotApp, "Firefox is COOKING me at 88%. hehe. help. 🫠"},
        {P::gremlin, hotSystem, "Linux is cooking me at 88%! not the apps! still rude! 🫠"},
        {P::gremlin, critical, "i'm ACTUALLY overheating. emergency. linux might slow me down. 🥵"},
        {P::gremlin, serious, "okay i'm actually hot. not busy hot. HOT hot. help. 🥵"},
        {P::gremlin, cooled, "PHEW. i live. barely. thank you. 😮💨"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Copy::headsUp(r.h, r.personality), r.text);
    }
}

TEST(CopyVoiceTest, HeadsUpBelowMeltdownSpeaksOfBusyAndEveryLevelBelowCriticalAlike) {
    for (const P p : allPersonalities) {
        const std::string busy = Copy::headsUp(heatingUp(H::sweating, cargo, 40), p);
        EXPECT_EQ(Copy::headsUp(heatingUp(H::chill, cargo, 40), p), busy);
        EXPECT_EQ(Copy::headsUp(heatingUp(H::warm, cargo, 40), p), busy);
        const std::string hot = Copy::headsUp(HeadsUp::thermal(ThermalLevel::serious), p);
        EXPECT_EQ(Copy::headsUp(HeadsUp::thermal(ThermalLevel::nominal), p), hot);
        EXPECT_EQ(Copy::headsUp(HeadsUp::thermal(ThermalLevel::fair), p), hot);
    }
}

TEST(CopyVoiceTest, HeadsUpRoundsTheLoadHalfAwayFromZero) {
    const std::pair<double, const char*> cases[] = {{0, "0%"},      {0.5, "1%"},    {1, "1%"},    {2.5, "3%"},
                                                    {42.49, "42%"}, {99.5, "100%"}, {100, "100%"}};
    for (const auto& [load, p] : cases) {
        EXPECT_EQ(Copy::headsUp(heatingUp(H::warm, cargo, load), P::deadpan),
                  "cargo is at " + std::string(p) + ". I'm sweating. Just so you know.");
    }
}

TEST(CopyVoiceTest, RestPromptSpans) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 minutes"},       {29, "0 minutes"},
        {30, "a whole minute"}, // half a minute rounds up
        {60, "a whole minute"}, {89.9, "a whole minute"},
        {90, "2 minutes"},      {150, "3 minutes"}, // 2.5, not to even
        {1500, "25 minutes"},   {3570, "an hour"},
        {3576, "an hour"}, // 59.6 minutes
        {3600, "an hour"},      {5400, "an hour and a half"},
        {5430, "91 minutes"},   {7200, "120 minutes"},
    };
    for (const auto& [interval, span] : cases) {
        EXPECT_EQ(Copy::restPrompt(interval, P::deadpan), "We've been at this for " + std::string(span) +
                                                              ". I'm tired. Two minutes. That's the deal.")
            << interval;
    }
}

TEST(CopyVoiceTest, RestPromptInEveryVoice) {
    EXPECT_EQ(Copy::restPrompt(3000, P::mild),
              "We've been at this for 50 minutes. I'm tired. Can we both stand up for 2 minutes?");
    EXPECT_EQ(Copy::restPrompt(3000, P::dramatic),
              "We've been at this for 50 minutes. I am DRAMATICALLY tired. Two minutes. Please.");
    EXPECT_EQ(Copy::restPrompt(3000, P::deadpan),
              "We've been at this for 50 minutes. I'm tired. Two minutes. That's the deal.");
    EXPECT_EQ(
        Copy::restPrompt(3000, P::gremlin),
        "okay okay we've been going for 50 minutes. my little pea brain is fried. two minutes? please?");
}

TEST(CopyVoiceTest, RoastHeadlines) {
    struct Row {
        P personality;
        const char* busy;
        const char* hot;
    };
    const Row rows[] = {
        {P::mild, "Firefox is making me sweat.", "Firefox is cooking me."},
        {P::dramatic, "Firefox is making me SWEAT.", "Firefox is COOKING me alive."},
        {P::deadpan, "Firefox is doing this. I'm sweating.", "Firefox is doing this. I'm melting."},
        {P::gremlin, "Firefox is making me sweaty. rude.", "Firefox is COOKING me. hehe. help."},
    };
    for (const Row& r : rows) {
        for (const H s : {H::chill, H::warm, H::sweating}) {
            EXPECT_EQ(Copy::roastHeadline("Firefox", s, r.personality), r.busy);
        }
        EXPECT_EQ(Copy::roastHeadline("Firefox", H::meltdown, r.personality), r.hot);
    }
}

TEST(CopyVoiceTest, RoastSubheadRoundsTheLoad) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},   {0.4, "0"},   {0.5, "1"},    {1, "1"},     {2, "2"},
        {2.5, "3"}, {63.5, "64"}, {99.5, "100"}, {-0.5, "-1"},
    };
    for (const auto& [load, n] : cases) {
        EXPECT_EQ(Copy::roastSubhead(load), "The whole computer is " + std::string(n) + "% busy right now.");
    }
}

// Every voice line, in every personality, speaks of Linux and the computer, never of the other platform.
TEST(CopyVoiceTest, NoVoiceLineNamesTheOtherPlatform) {
    std::vector<std::string> texts;
    for (const P p : allPersonalities) {
        for (const H s : allHeatStates) {
            const std::vector<std::string> lines = Copy::heatLines(s, p);
            texts.insert(texts.end(), lines.begin(), lines.end());
            texts.push_back(Copy::headsUp(heatingUp(s, std::nullopt, 50), p));
            texts.push_back(Copy::headsUp(heatingUp(s, AppKey::system(), 50), p));
            texts.push_back(Copy::headsUp(heatingUp(s, firefox, 50), p));
            texts.push_back(Copy::roastHeadline("x", s, p));
        }
        for (const ThermalLevel t : {ThermalLevel::fair, ThermalLevel::critical}) {
            texts.push_back(Copy::headsUp(HeadsUp::thermal(t), p));
        }
        texts.push_back(Copy::headsUp(HeadsUp::cooledDown(), p));
        for (std::size_t i = 0; i < 4; ++i) {
            texts.push_back(Copy::blameLine(firefox, p, [i](std::size_t n) { return i % n; }));
        }
        texts.push_back(Copy::blameLine(AppKey::system(), p, [](std::size_t) { return 0; }));
        texts.push_back(Copy::memoryBlameLine({"x", "x", 1}, p));
        texts.push_back(Copy::restPrompt(3600, p));
    }
    texts.push_back(Copy::roastSubhead(50));
    for (const std::string& text : texts) {
        for (const char* word :
             {"Mac", "macOS", "macos", "Finder", "Activity Monitor", "menu bar", "System Settings"}) {
            EXPECT_EQ(text.find(word), std::string::npos) << text;
        }
    }
}

} // namespace
} // namespace halvrick
