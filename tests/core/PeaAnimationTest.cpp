#include "core/PeaAnimation.h"

#include "PeaFacePrinting.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

namespace halvrick {
namespace {

using Eyes = PeaFace::Eyes;
using Mouth = PeaFace::Mouth;

// The fields the tray strips animate, reset to the heat face's own values.
PeaFace withoutStripMotion(PeaFace f, HeatState state) {
    const PeaFace base = PeaFace::heat(state);
    f.dropFall = base.dropFall;
    f.jitter = base.jitter;
    f.melt = base.melt;
    f.steamRise = base.steamRise;
    return f;
}

TEST(PeaAnimationTest, StripLoopsAndFrameCounts) {
    struct Row {
        HeatState state;
        std::optional<double> loop;
        std::size_t frames;
    };
    const Row rows[] = {
        {HeatState::chill, std::nullopt, 1},
        {HeatState::warm, 6.0, 48},
        {HeatState::sweating, 1.5, 12},
        {HeatState::meltdown, 2.0, 16},
    };
    std::size_t total = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(rawValue(r.state));
        EXPECT_EQ(PeaAnimation::menuBarLoop(r.state), r.loop);
        const std::vector<PeaFace> frames = PeaAnimation::menuBarFrames(r.state);
        EXPECT_EQ(frames.size(), r.frames);
        if (r.loop) {
            EXPECT_EQ(static_cast<double>(frames.size()), *r.loop * PeaAnimation::menuBarFramesPerSecond);
        }
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(withoutStripMotion(frames[i], r.state), PeaFace::heat(r.state)) << "frame " << i;
            EXPECT_EQ(frames[i], PeaAnimation::menuBarFrame(r.state, static_cast<double>(i) / frames.size()));
        }
        total += frames.size();
    }
    EXPECT_EQ(total, 77u);
    EXPECT_EQ(PeaAnimation::menuBarFrames(HeatState::chill).front(), PeaFace::heat(HeatState::chill));
}

TEST(PeaAnimationTest, StripFramesAtTheirPhases) {
    struct Case {
        HeatState state;
        std::size_t frame;
        double PeaFace::*field;
        double expected;
    };
    const auto warm = PeaAnimation::menuBarFrames(HeatState::warm);
    const auto sweating = PeaAnimation::menuBarFrames(HeatState::sweating);
    const auto meltdown = PeaAnimation::menuBarFrames(HeatState::meltdown);
    const Case cases[] = {
        {HeatState::warm, 0, &PeaFace::dropFall, 0},
        {HeatState::warm, 1, &PeaFace::dropFall, 1.0 / 12},
        {HeatState::warm, 6, &PeaFace::dropFall, 0.5},
        {HeatState::warm, 11, &PeaFace::dropFall, 11.0 / 12},
        {HeatState::warm, 12, &PeaFace::dropFall, 0}, // the drop has landed; the pea rests
        {HeatState::warm, 47, &PeaFace::dropFall, 0},
        {HeatState::meltdown, 0, &PeaFace::melt, 1.0},
        {HeatState::meltdown, 0, &PeaFace::steamRise, 0},
        {HeatState::meltdown, 4, &PeaFace::melt, 1.15},
        {HeatState::meltdown, 4, &PeaFace::steamRise, 0.25},
        {HeatState::meltdown, 8, &PeaFace::melt, 1.0},
        {HeatState::meltdown, 8, &PeaFace::steamRise, 0.5},
        {HeatState::meltdown, 12, &PeaFace::melt, 0.85},
        {HeatState::meltdown, 15, &PeaFace::steamRise, 15.0 / 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "heat " << rawValue(c.state) << " frame " << c.frame);
        const auto& strip = c.state == HeatState::warm ? warm : meltdown;
        EXPECT_NEAR(strip.at(c.frame).*c.field, c.expected, 1e-12);
    }
    for (std::size_t i = 0; i < sweating.size(); ++i) {
        EXPECT_EQ(sweating[i].jitter, i % 2 == 0 ? 0.4 : -0.4) << "frame " << i;
    }
}

TEST(PeaAnimationTest, StripPhasesOutsideTheLoopWrap) {
    for (const HeatState state : allHeatStates) {
        SCOPED_TRACE(rawValue(state));
        EXPECT_EQ(PeaAnimation::menuBarFrame(state, 1.0625), PeaAnimation::menuBarFrame(state, 0.0625));
        EXPECT_EQ(PeaAnimation::menuBarFrame(state, -0.75), PeaAnimation::menuBarFrame(state, 0.25));
        EXPECT_EQ(PeaAnimation::menuBarFrame(state, 1.0), PeaAnimation::menuBarFrame(state, 0.0));
    }
}

TEST(PeaAnimationTest, BlinkingClosesOnlyOpenOrWideEyes) {
    struct Case {
        Eyes eyes;
        double time;
        Eyes expected;
    };
    const Case cases[] = {
        {Eyes::open, 0, Eyes::closed},    {Eyes::open, 0.119, Eyes::closed},
        {Eyes::open, 0.12, Eyes::open},   {Eyes::open, 0.2, Eyes::open},
        {Eyes::open, 2.1, Eyes::open},    {Eyes::open, 4.25, Eyes::closed},
        {Eyes::wide, 0.05, Eyes::closed}, {Eyes::wide, 4.19, Eyes::wide},
        {Eyes::closed, 2, Eyes::closed},  {Eyes::happy, 0, Eyes::happy},
        {Eyes::dizzy, 0, Eyes::dizzy},    {Eyes::halfClosed, 0, Eyes::halfClosed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << toString(c.eyes) << " at " << c.time);
        EXPECT_EQ(PeaAnimation::animate(PeaFace{.eyes = c.eyes}, c.time).eyes, c.expected);
    }
}

TEST(PeaAnimationTest, ContinuousMotionAtTheEndsAndHalfway) {
    struct Case {
        const char* what;
        PeaFace face;
        double time;
        double PeaFace::*field;
        double expected;
    };
    const PeaFace warm = PeaFace::heat(HeatState::warm);
    const PeaFace sweating = PeaFace::heat(HeatState::sweating);
    const Case cases[] = {
        {"one drop starts", warm, 0, &PeaFace::dropFall, 0},
        {"one drop halfway", warm, 1.25, &PeaFace::dropFall, 0.5},
        {"one drop wraps", warm, 2.5, &PeaFace::dropFall, 0},
        {"two drops fall slowly", {.sweatDrops = 2}, 1.25, &PeaFace::dropFall, 0.5},
        {"three drops halfway", sweating, 0.6, &PeaFace::dropFall, 0.5},
        {"three drops wrap", sweating, 1.2, &PeaFace::dropFall, 0},
        {"no drops keep their phase", {.dropFall = 0.7}, 1.0, &PeaFace::dropFall, 0.7},
        {"melt at rest", {.melt = 1}, 0, &PeaFace::melt, 1},
        {"melt swells", {.melt = 1}, 0.5, &PeaFace::melt, 1.08},
        {"melt shrinks", {.melt = 1}, 1.5, &PeaFace::melt, 0.92},
        {"no melt stays none", {}, 0.5, &PeaFace::melt, 0},
        {"confetti starts", {.confetti = 1}, 0, &PeaFace::confetti, 0.6},
        {"confetti halfway", {.confetti = 1}, 0.75, &PeaFace::confetti, 0.8},
        {"no confetti stays none", {}, 0.75, &PeaFace::confetti, 0},
        {"breath in", {.squash = 0.1}, 1, &PeaFace::squash, 0.14},
        {"breath out", {.squash = 0.1}, 3, &PeaFace::squash, 0.06},
        {"breath turns", {.squash = 0.1}, 2, &PeaFace::squash, 0.1},
        {"steam rises halfway", {.steam = 0.2}, 1, &PeaFace::steamRise, 0.5},
        {"no steam keeps its phase", {.steamRise = 0.3}, 1, &PeaFace::steamRise, 0.3},
        {"Zs rise halfway", {.sleepZ = 1}, 1.5, &PeaFace::zRise, 0.5},
        {"Zs wrap", {.sleepZ = 3}, 3, &PeaFace::zRise, 0},
        {"no Zs keep their phase", {.zRise = 0.3}, 1.5, &PeaFace::zRise, 0.3},
        {"jitter is left alone", {.jitter = -0.4}, 0.7, &PeaFace::jitter, -0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(PeaAnimation::animate(c.face, c.time).*c.field, c.expected, 1e-12);
    }
}

TEST(PeaAnimationTest, YawnIsOpenForTheFirstFortyPercentOfThreeSeconds) {
    struct Case {
        double time;
        Mouth expected;
    };
    const Case cases[] = {
        {0, Mouth::yawn}, {1.1, Mouth::yawn}, {1.5, Mouth::flat}, {2.9, Mouth::flat}, {3, Mouth::yawn}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_EQ(PeaAnimation::animate(PeaFace{.mouth = Mouth::yawn}, c.time).mouth, c.expected);
    }
    EXPECT_EQ(PeaAnimation::animate(PeaFace{.mouth = Mouth::grin}, 1.5).mouth, Mouth::grin);
}

TEST(PeaAnimationTest, OnlyTheAnimatedFieldsMove) {
    const PeaFace face{.eyes = Eyes::happy,
                       .pupilOffset = 0.5,
                       .brows = PeaFace::Brows::raised,
                       .mouth = Mouth::grin,
                       .blush = 0.4,
                       .steam = 0.5,
                       .leaf = PeaFace::LeafPose::waving,
                       .accessory = PeaFace::Accessory::partyHat,
                       .sparkle = 0.6,
                       .questionMark = true,
                       .puff = 0.2,
                       .jitter = 0.4};
    PeaFace moved = PeaAnimation::animate(face, 1.3);
    EXPECT_NE(moved.squash, face.squash);
    EXPECT_NE(moved.steamRise, face.steamRise);
    moved.squash = face.squash;
    moved.steamRise = face.steamRise;
    EXPECT_EQ(moved, face);
}

} // namespace
} // namespace halvrick
