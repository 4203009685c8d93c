#include "core/FaceState.h"

#include "PeaFacePrinting.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unordered_set>

namespace halvrick {
namespace {

using Eyes = PeaFace::Eyes;
using Brows = PeaFace::Brows;
using Mouth = PeaFace::Mouth;
using Leaf = PeaFace::LeafPose;
using Accessory = PeaFace::Accessory;

TEST(FaceStateTest, MoodsInOrderWithRawValuesTitlesAndTrayRule) {
    struct Row {
        FaceState state;
        const char* raw;
        const char* title;
        bool keepsHeatFace;
    };
    const Row rows[] = {
        {FaceState::chill, "chill", "Chill", false},
        {FaceState::warm, "warm", "Warm", false},
        {FaceState::sweating, "sweating", "Sweating", false},
        {FaceState::meltdown, "meltdown", "Meltdown", false},
        {FaceState::coolingDown, "coolingDown", "Cooling down", false},
        {FaceState::blaming, "blaming", "Blaming", true},
        {FaceState::allClear, "allClear", "All clear", true},
        {FaceState::askingToQuit, "askingToQuit", "Asking to quit", true},
        {FaceState::grateful, "grateful", "Grateful", false},
        {FaceState::tired, "tired", "Tired", false},
        {FaceState::napping, "napping", "Napping", false},
        {FaceState::sideEye, "sideEye", "Side-eye", false},
        {FaceState::wakeUpHappy, "wakeUpHappy", "Wake-up happy", false},
        {FaceState::snoozed, "snoozed", "Snoozed", false},
        {FaceState::dozing, "dozing", "Dozing", false},
        {FaceState::wakingUp, "wakingUp", "Waking up", false},
        {FaceState::shh, "shh", "Shh", true},
        {FaceState::celebrating, "celebrating", "Celebrating", true},
        {FaceState::hello, "hello", "Hello", true},
        {FaceState::confused, "confused", "Confused", false},
    };
    ASSERT_EQ(std::size(rows), allFaceStates.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.raw);
        EXPECT_EQ(allFaceStates[i], r.state);
        EXPECT_EQ(toString(r.state), r.raw);
        EXPECT_EQ(faceStateFromString(r.raw), r.state);
        EXPECT_EQ(title(r.state), r.title);
        EXPECT_EQ(keepsHeatFaceInMenuBar(r.state), r.keepsHeatFace);
    }
    EXPECT_EQ(faceStateFromString("Side-eye"), std::nullopt);
    EXPECT_EQ(faceStateFromString("SideEye"), std::nullopt);
    EXPECT_EQ(faceStateFromString(""), std::nullopt);
}

TEST(FaceStateTest, EveryMoodHasItsFace) {
    struct Case {
        FaceState mood;
        HeatState heat;
        PeaFace expected;
    };
    const PeaFace meltdown = PeaFace::heat(HeatState::meltdown);
    const Case cases[] = {
        {FaceState::chill, HeatState::meltdown, PeaFace::heat(HeatState::chill)},
        {FaceState::warm, HeatState::chill, PeaFace::heat(HeatState::warm)},
        {FaceState::sweating, HeatState::chill, PeaFace::heat(HeatState::sweating)},
        {FaceState::meltdown, HeatState::warm, meltdown},
        {FaceState::coolingDown,
         HeatState::meltdown,
         {.eyes = Eyes::happy,
          .mouth = Mouth::o,
          .blush = 0.3,
          .sweatDrops = 1,
          .leaf = Leaf::wipingBrow,
          .puff = 1.0}},
        {FaceState::blaming,
         HeatState::chill,
         {.pupilOffset = 1.0, .brows = Brows::annoyed, .leaf = Leaf::pointing}},
        {FaceState::blaming,
         HeatState::sweating,
         {.eyes = Eyes::wide,
          .pupilOffset = 1.0,
          .brows = Brows::annoyed,
          .mouth = Mouth::wobbly,
          .blush = 0.8,
          .sweatDrops = 1,
          .leaf = Leaf::pointing}},
        {FaceState::blaming,
         HeatState::meltdown,
         {.eyes = Eyes::dizzy,
          .pupilOffset = 1.0,
          .brows = Brows::annoyed,
          .mouth = Mouth::panting,
          .blush = 0.8,
          .sweatDrops = 1,
          .steam = 1.0,
          .melt = 1.0,
          .leaf = Leaf::pointing}},
        {FaceState::allClear, HeatState::sweating, {.eyes = Eyes::happy, .leaf = Leaf::thumbsUp}},
        {FaceState::askingToQuit,
         HeatState::meltdown,
         {.eyes = Eyes::pleading,
          .brows = Brows::raised,
          .mouth = Mouth::smile,
          .blush = 0.8,
          .sweatDrops = 2}},
        {FaceState::askingToQuit, HeatState::chill, {.eyes = Eyes::pleading, .brows = Brows::raised}},
        {FaceState::grateful,
         HeatState::warm,
         {.eyes = Eyes::happy, .mouth = Mouth::grin, .blush = 0.6, .sparkle = 1.0}},
        {FaceState::tired,
         HeatState::sweating,
         {.eyes = Eyes::halfClosed,
          .brows = Brows::worried,
          .mouth = Mouth::yawn,
          .sweatDrops = 2,
          .squash = -0.3}},
        {FaceState::tired,
         HeatState::chill,
         {.eyes = Eyes::halfClosed, .brows = Brows::worried, .mouth = Mouth::yawn, .squash = -0.3}},
        {FaceState::napping,
         HeatState::warm,
         {.eyes = Eyes::closed, .blush = 0.3, .accessory = Accessory::sleepMask, .sleepZ = 3}},
        {FaceState::sideEye,
         HeatState::chill,
         {.eyes = Eyes::sideEye, .brows = Brows::annoyed, .mouth = Mouth::flat}},
        {FaceState::wakeUpHappy,
         HeatState::meltdown,
         {.eyes = Eyes::happy,
          .mouth = Mouth::grin,
          .blush = 0.4,
          .squash = -0.4,
          .leaf = Leaf::waving,
          .sparkle = 0.6}},
        {FaceState::snoozed,
         HeatState::sweating,
         {.eyes = Eyes::halfClosed, .brows = Brows::raised, .mouth = Mouth::frown}},
        {FaceState::dozing, HeatState::meltdown, {.eyes = Eyes::closed, .mouth = Mouth::flat, .squash = 0.1}},
        {FaceState::wakingUp,
         HeatState::chill,
         {.eyes = Eyes::halfClosed, .mouth = Mouth::o, .squash = -0.3}},
        {FaceState::shh, HeatState::chill, {.mouth = Mouth::flat, .leaf = Leaf::shushing}},
        {FaceState::shh,
         HeatState::meltdown,
         {.eyes = Eyes::dizzy,
          .brows = Brows::worried,
          .mouth = Mouth::flat,
          .blush = 0.8,
          .sweatDrops = 2,
          .steam = 1.0,
          .melt = 1.0,
          .leaf = Leaf::shushing}},
        {FaceState::celebrating,
         HeatState::warm,
         {.eyes = Eyes::happy,
          .mouth = Mouth::grin,
          .blush = 0.5,
          .accessory = Accessory::partyHat,
          .confetti = 1.0}},
        {FaceState::hello, HeatState::sweating, {.mouth = Mouth::grin, .blush = 0.3, .leaf = Leaf::waving}},
        {FaceState::confused,
         HeatState::warm,
         {.brows = Brows::confused, .mouth = Mouth::flat, .questionMark = true}},
    };
    std::set<FaceState> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << toString(c.mood) << " at heat " << rawValue(c.heat));
        EXPECT_EQ(face(c.mood, c.heat), c.expected);
        covered.insert(c.mood);
    }
    EXPECT_EQ(covered.size(), allFaceStates.size());
}

TEST(FaceStateTest, OnlyMoodsBuiltOnTheHeatFaceFollowTheHeat) {
    const std::set<FaceState> builtOnHeat{FaceState::blaming, FaceState::askingToQuit, FaceState::shh,
                                          FaceState::tired};
    for (const FaceState mood : allFaceStates) {
        SCOPED_TRACE(toString(mood));
        std::unordered_set<PeaFace> distinct;
        for (const HeatState heat : allHeatStates) {
            distinct.insert(face(mood, heat));
        }
        // Tired only takes the drop count, which is the same for sweating and meltdown.
        const std::size_t expected = !builtOnHeat.contains(mood) ? 1 : mood == FaceState::tired ? 3 : 4;
        EXPECT_EQ(distinct.size(), expected);
    }
}

TEST(FaceStateTest, RestFacesMatchTheirMoods) {
    for (const HeatState heat : allHeatStates) {
        SCOPED_TRACE(rawValue(heat));
        EXPECT_EQ(PeaFace::rest(RestFace::tired, heat), face(FaceState::tired, heat));
        EXPECT_EQ(PeaFace::rest(RestFace::napping, heat), face(FaceState::napping, heat));
        EXPECT_EQ(PeaFace::rest(RestFace::sideEye, heat), face(FaceState::sideEye, heat));
        EXPECT_EQ(PeaFace::rest(RestFace::snoozed, heat), face(FaceState::snoozed, heat));
        // The rest flow's wake-up face has neither the waving leaf nor the sparkle of the mood.
        PeaFace wakeUp = face(FaceState::wakeUpHappy, heat);
        wakeUp.leaf = Leaf::resting;
        wakeUp.sparkle = 0;
        EXPECT_EQ(PeaFace::rest(RestFace::wakeUp, heat), wakeUp);
    }
}

} // namespace
} // namespace halvrick
