#include "core/PeaFace.h"

#include "PeaFacePrinting.h"
#include "core/FaceState.h"
#include "core/PeaAnimation.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace halvrick {
namespace {

using Eyes = PeaFace::Eyes;
using Brows = PeaFace::Brows;
using Mouth = PeaFace::Mouth;
using Leaf = PeaFace::LeafPose;
using Accessory = PeaFace::Accessory;

TEST(PeaFaceTest, DefaultFaceIsTheFirstCasesAndZeros) {
    const PeaFace spelledOut{.eyes = Eyes::open,
                             .pupilOffset = 0,
                             .brows = Brows::relaxed,
                             .mouth = Mouth::smile,
                             .blush = 0,
                             .sweatDrops = 0,
                             .steam = 0,
                             .melt = 0,
                             .squash = 0,
                             .leaf = Leaf::resting,
                             .accessory = Accessory::none,
                             .sleepZ = 0,
                             .sparkle = 0,
                             .confetti = 0,
                             .questionMark = false,
                             .puff = 0,
                             .dropFall = 0,
                             .steamRise = 0,
                             .zRise = 0,
                             .jitter = 0};
    EXPECT_EQ(PeaFace(), spelledOut);
    EXPECT_EQ(PeaFace::heat(HeatState::chill), PeaFace{.accessory = Accessory::sunglasses});
}

TEST(PeaFaceTest, HeatFaces) {
    struct Case {
        HeatState state;
        PeaFace expected;
    };
    const Case cases[] = {
        {HeatState::chill, {.accessory = Accessory::sunglasses}},
        {HeatState::warm, {.brows = Brows::worried, .blush = 0.5, .sweatDrops = 1}},
        {HeatState::sweating,
         {.eyes = Eyes::wide,
          .brows = Brows::worried,
          .mouth = Mouth::wobbly,
          .blush = 0.8,
          .sweatDrops = 3}},
        {HeatState::meltdown,
         {.eyes = Eyes::dizzy,
          .brows = Brows::worried,
          .mouth = Mouth::panting,
          .blush = 0.8,
          .sweatDrops = 2,
          .steam = 1.0,
          .melt = 1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.state));
        EXPECT_EQ(PeaFace::heat(c.state), c.expected);
    }
}

TEST(PeaFaceTest, RestAndStuffedFaces) {
    struct Case {
        RestFace rest;
        HeatState heat;
        PeaFace expected;
    };
    const PeaFace tired{
        .eyes = Eyes::halfClosed, .brows = Brows::worried, .mouth = Mouth::yawn, .squash = -0.3};
    PeaFace tiredOneDrop = tired;
    tiredOneDrop.sweatDrops = 1;
    PeaFace tiredTwoDrops = tired;
    tiredTwoDrops.sweatDrops = 2;
    const Case cases[] = {
        {RestFace::tired, HeatState::chill, tired},
        {RestFace::tired, HeatState::warm, tiredOneDrop},
        {RestFace::tired, HeatState::sweating, tiredTwoDrops}, // three drops of the heat face, capped at two
        {RestFace::tired, HeatState::meltdown, tiredTwoDrops},
        {RestFace::napping,
         HeatState::meltdown,
         {.eyes = Eyes::closed, .blush = 0.3, .accessory = Accessory::sleepMask, .sleepZ = 3}},
        {RestFace::sideEye,
         HeatState::sweating,
         {.eyes = Eyes::sideEye, .brows = Brows::annoyed, .mouth = Mouth::flat}},
        {RestFace::wakeUp,
         HeatState::warm,
         {.eyes = Eyes::happy, .mouth = Mouth::grin, .blush = 0.4, .squash = -0.4}},
        {RestFace::snoozed,
         HeatState::chill,
         {.eyes = Eyes::halfClosed, .brows = Brows::raised, .mouth = Mouth::frown}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "rest " << static_cast<int>(c.rest) << " heat " << rawValue(c.heat));
        EXPECT_EQ(PeaFace::rest(c.rest, c.heat), c.expected);
    }
    EXPECT_EQ(
        PeaFace::stuffed(),
        (PeaFace{
            .eyes = Eyes::wide, .brows = Brows::worried, .mouth = Mouth::o, .blush = 0.5, .squash = 0.6}));
}

template <class E, std::size_t N>
void expectRawValues(const std::array<E, N>& cases, const std::vector<std::string>& names,
                     std::optional<E> (*fromString)(std::string_view)) {
    ASSERT_EQ(cases.size(), names.size());
    for (std::size_t i = 0; i < N; ++i) {
        EXPECT_EQ(toString(cases[i]), names[i]);
        EXPECT_EQ(fromString(names[i]), cases[i]) << names[i];
        std::string shouted = names[i];
        shouted[0] = static_cast<char>(shouted[0] - 'a' + 'A');
        EXPECT_EQ(fromString(shouted), std::nullopt) << shouted;
    }
    EXPECT_EQ(fromString(""), std::nullopt);
    EXPECT_EQ(fromString(names[0] + " "), std::nullopt);
}

TEST(PeaFaceTest, PartsHaveTheirCaseNamesAsRawValuesInOrder) {
    expectRawValues(PeaFace::allEyes,
                    {"open", "wide", "halfClosed", "closed", "happy", "sideEye", "dizzy", "pleading"},
                    eyesFromString);
    expectRawValues(PeaFace::allBrows, {"relaxed", "worried", "annoyed", "raised", "confused"},
                    browsFromString);
    expectRawValues(PeaFace::allMouths, {"smile", "flat", "wobbly", "panting", "o", "yawn", "grin", "frown"},
                    mouthFromString);
    expectRawValues(PeaFace::allLeafPoses,
                    {"resting", "pointing", "waving", "wipingBrow", "thumbsUp", "shushing"},
                    leafPoseFromString);
    expectRawValues(PeaFace::allAccessories,
                    {"none", "sunglasses", "sleepMask", "zzz", "partyHat", "confetti"}, accessoryFromString);
}

TEST(PeaFaceTest, CappingForMildTakesTheEdgeOff) {
    struct Case {
        const char* what;
        PeaFace input;
        PeaFace expected;
    };
    const Case cases[] = {
        {"meltdown: no dizzy eyes, two drops, no melt, steam kept",
         PeaFace::heat(HeatState::meltdown),
         {.eyes = Eyes::wide,
          .brows = Brows::worried,
          .mouth = Mouth::panting,
          .blush = 0.8,
          .sweatDrops = 2,
          .steam = 1.0}},
        {"sweating: three drops become two",
         PeaFace::heat(HeatState::sweating),
         {.eyes = Eyes::wide,
          .brows = Brows::worried,
          .mouth = Mouth::wobbly,
          .blush = 0.8,
          .sweatDrops = 2}},
        {"pleading eyes and one drop stay",
         {.eyes = Eyes::pleading, .sweatDrops = 1, .melt = 0.4, .accessory = Accessory::partyHat},
         {.eyes = Eyes::pleading, .sweatDrops = 1, .accessory = Accessory::partyHat}},
        {"a calm face is unchanged", PeaFace::heat(HeatState::chill), PeaFace::heat(HeatState::chill)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.input.cappedForMild(), c.expected);
    }
}

TEST(PeaFaceTest, MenuBarSimplificationKeepsOneEffect) {
    struct Case {
        const char* what;
        PeaFace input;
        PeaFace expected;
    };
    const Case cases[] = {
        {"confused keeps only the question mark",
         face(FaceState::confused, HeatState::meltdown),
         {.mouth = Mouth::flat, .questionMark = true}},
        {"napping keeps one Z, no mask, no blush",
         face(FaceState::napping, HeatState::chill),
         {.eyes = Eyes::closed, .sleepZ = 1}},
        {"meltdown keeps steam and melt, drops nothing",
         PeaFace::heat(HeatState::meltdown),
         {.eyes = Eyes::wide, .mouth = Mouth::panting, .steam = 1.0, .melt = 1.0}},
        {"sweating keeps two drops",
         PeaFace::heat(HeatState::sweating),
         {.eyes = Eyes::wide, .mouth = Mouth::wobbly, .sweatDrops = 2}},
        {"question mark beats Zs, drops and steam",
         {.sweatDrops = 2, .steam = 0.5, .melt = 0.5, .sleepZ = 3, .questionMark = true},
         {.questionMark = true}},
        {"Zs beat melt and steam", {.sweatDrops = 1, .steam = 1, .melt = 1, .sleepZ = 2}, {.sleepZ = 1}},
        {"drops clear steam without melt", {.sweatDrops = 5, .steam = 0.7}, {.sweatDrops = 2}},
        {"pleading eyes widen; decorations go, pose and phases stay",
         {.eyes = Eyes::pleading,
          .pupilOffset = 1,
          .brows = Brows::raised,
          .mouth = Mouth::grin,
          .blush = 0.6,
          .squash = -0.4,
          .leaf = Leaf::waving,
          .accessory = Accessory::partyHat,
          .sparkle = 1,
          .confetti = 1,
          .puff = 1,
          .dropFall = 0.3,
          .steamRise = 0.2,
          .zRise = 0.1,
          .jitter = -0.4},
         {.eyes = Eyes::wide,
          .pupilOffset = 1,
          .mouth = Mouth::grin,
          .squash = -0.4,
          .dropFall = 0.3,
          .steamRise = 0.2,
          .zRise = 0.1,
          .jitter = -0.4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.input.simplifiedForMenuBar(), c.expected);
        EXPECT_EQ(c.expected.simplifiedForMenuBar(), c.expected);
    }
}

TEST(PeaFaceTest, MenuBarSimplificationIsIdempotent) {
    std::vector<PeaFace> faces{PeaFace::stuffed(),
                               {.sweatDrops = -1, .melt = -0.5},
                               {.steam = std::numeric_limits<double>::quiet_NaN(), .melt = std::nan("")}};
    for (const HeatState heat : allHeatStates) {
        for (const FaceState mood : allFaceStates) {
            faces.push_back(face(mood, heat));
            faces.push_back(face(mood, heat).cappedForMild());
        }
        for (const PeaFace& frame : PeaAnimation::menuBarFrames(heat)) {
            faces.push_back(frame);
        }
    }
    for (const PeaFace& f : faces) {
        const PeaFace once = f.simplifiedForMenuBar();
        EXPECT_EQ(once.simplifiedForMenuBar(), once) << testing::PrintToString(f);
    }
}

TEST(PeaFaceTest, BlendingAtTheEndsAndHalfway) {
    const PeaFace from{
        .pupilOffset = 0.1, .blush = 0.1, .sweatDrops = 1, .squash = -0.3, .sparkle = 0.7, .dropFall = 0.9};
    const PeaFace to{.eyes = Eyes::dizzy,
                     .pupilOffset = 0.3,
                     .brows = Brows::worried,
                     .mouth = Mouth::panting,
                     .blush = 0.3,
                     .sweatDrops = 3,
                     .steam = 1,
                     .melt = 1,
                     .squash = 0.2,
                     .leaf = Leaf::pointing,
                     .accessory = Accessory::zzz,
                     .sleepZ = 2,
                     .confetti = 0.4,
                     .questionMark = true,
                     .puff = 1,
                     .steamRise = 0.5,
                     .zRise = 0.25,
                     .jitter = 0.4};
    PeaFace halfway = to;
    halfway.pupilOffset = 0.2;
    halfway.blush = 0.2;
    halfway.steam = 0.5;
    halfway.melt = 0.5;
    halfway.squash = -0.05;
    halfway.sparkle = 0.35;
    halfway.confetti = 0.2;
    halfway.puff = 0.5;
    struct Case {
        double progress;
        PeaFace expected;
    };
    const Case cases[] = {
        {-1, from}, {0, from},
        {1, to}, // exact, although 0.1 + (0.3 - 0.1) is not 0.3 in binary
        {2, to},    {std::numeric_limits<double>::quiet_NaN(), to},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        EXPECT_EQ(from.interpolated(to, c.progress), c.expected);
    }

    const PeaFace half = from.interpolated(to, 0.5);
    EXPECT_EQ(half.eyes, Eyes::dizzy);
    EXPECT_EQ(half.sweatDrops, 3);
    EXPECT_EQ(half.dropFall, 0.0);
    EXPECT_EQ(half.questionMark, true);
    double PeaFace::*const amounts[] = {&PeaFace::pupilOffset, &PeaFace::blush,  &PeaFace::steam,
                                        &PeaFace::melt,        &PeaFace::squash, &PeaFace::sparkle,
                                        &PeaFace::confetti,    &PeaFace::puff};
    for (const auto amount : amounts) {
        EXPECT_DOUBLE_EQ(half.*amount, halfway.*amount);
    }

    // Just before halfway every stepped field is still the starting face's.
    PeaFace early = from.interpolated(to, 0.49);
    EXPECT_DOUBLE_EQ(early.blush, 0.198);
    for (const auto amount : amounts) {
        early.*amount = from.*amount;
    }
    EXPECT_EQ(early, from);
}

// One face per field, each differing from the default in that field alone.
std::vector<PeaFace> singleFieldChanges() {
    const std::vector<std::function<void(PeaFace&)>> changes{
        [](PeaFace& f) { f.eyes = Eyes::pleading; },
        [](PeaFace& f) { f.pupilOffset = 1; },
        [](PeaFace& f) { f.brows = Brows::confused; },
        [](PeaFace& f) { f.mouth = Mouth::frown; },
        [](PeaFace& f) { f.blush = 0.5; },
        [](PeaFace& f) { f.sweatDrops = 1; },
        [](PeaFace& f) { f.steam = 0.5; },
        [](PeaFace& f) { f.melt = 0.5; },
        [](PeaFace& f) { f.squash = -0.5; },
        [](PeaFace& f) { f.leaf = Leaf::shushing; },
        [](PeaFace& f) { f.accessory = Accessory::confetti; },
        [](PeaFace& f) { f.sleepZ = 1; },
        [](PeaFace& f) { f.sparkle = 0.5; },
        [](PeaFace& f) { f.confetti = 0.5; },
        [](PeaFace& f) { f.questionMark = true; },
        [](PeaFace& f) { f.puff = 0.5; },
        [](PeaFace& f) { f.dropFall = 0.5; },
        [](PeaFace& f) { f.steamRise = 0.5; },
        [](PeaFace& f) { f.zRise = 0.5; },
        [](PeaFace& f) { f.jitter = 0.4; },
    };
    std::vector<PeaFace> faces;
    for (const auto& change : changes) {
        PeaFace f;
        change(f);
        faces.push_back(f);
    }
    return faces;
}

TEST(PeaFaceTest, EveryFieldTellsKeysApart) {
    const std::vector<PeaFace> faces = singleFieldChanges();
    ASSERT_EQ(faces.size(), 20u);
    std::unordered_set<PeaFace> keys{PeaFace()};
    std::set<std::size_t> hashes{std::hash<PeaFace>{}(PeaFace())};
    for (const PeaFace& f : faces) {
        EXPECT_NE(f, PeaFace()) << testing::PrintToString(f);
        EXPECT_EQ(f, PeaFace(f));
        keys.insert(f);
        hashes.insert(std::hash<PeaFace>{}(f));
    }
    EXPECT_EQ(keys.size(), 21u);
    EXPECT_EQ(hashes.size(), 21u);
}

TEST(PeaFaceTest, NaNAndSignedZeroMakeStableKeys) {
    const double nanA = std::nan("1");
    const double nanB = -std::nan("2");
    std::unordered_set<PeaFace> keys;
    for (const double blush : {nanA, nanB}) {
        for (PeaFace f : singleFieldChanges()) {
            f.blush = blush;
            keys.insert(f);
        }
    }
    // Each field change stays its own key, and the two NaNs collapse into one.
    EXPECT_EQ(keys.size(), 20u);

    const PeaFace a{.jitter = nanA};
    const PeaFace b{.jitter = nanB};
    EXPECT_EQ(a, a);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<PeaFace>{}(a), std::hash<PeaFace>{}(b));
    EXPECT_NE(a, PeaFace());

    const PeaFace zero{.squash = 0.0};
    const PeaFace negativeZero{.squash = -0.0};
    EXPECT_EQ(zero, negativeZero);
    EXPECT_EQ(std::hash<PeaFace>{}(zero), std::hash<PeaFace>{}(negativeZero));
}

} // namespace
} // namespace halvrick
