#include "AppModelFakes.h"
#include "core/PeaAnimation.h"
#include "model/Copy.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;

class AppModelFacesTest : public ModelTest {
protected:
    AppModelFacesTest() {
        make();
        model->start();
    }

    PeaFace heatFace() const { return model->styled(PeaFace::heat(model->state())); }
    PeaFace mood(FaceState state) const { return model->styled(face(state, model->state())); }

    void feedMemory(MemoryPressure pressure, std::uint64_t topBytes) {
        ProcessSampler::Sample sample = processSample(world.now, 2, {});
        sample.footprints = {{app("Browser"), topBytes}, {app("Editor"), 1000}};
        model->ingestProcesses(sample);
        model->ingestVitals(MachineVitals(world.now, 16ULL << 30, 15ULL << 30, 0, 0, pressure, 0, 0));
    }
};

TEST_F(AppModelFacesTest, ACoolDownWinsOverMomentaryFacesAndRestPhases) {
    tick(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_EQ(model->overlayState(), FaceState::tired);
    model->showMomentary(FaceState::grateful, 3);
    EXPECT_EQ(model->overlayState(), FaceState::grateful);
    model->startCoolDown();
    EXPECT_EQ(model->overlayState(), FaceState::coolingDown);
    world.advance(56);
    EXPECT_EQ(model->overlayState(), FaceState::wakeUpHappy);
    world.advance(4);
    EXPECT_EQ(model->overlayState(), std::nullopt);
}

TEST_F(AppModelFacesTest, ASnoozeShowsNoRestFaceButABrokenSamplerShowsConfusion) {
    tick(5);
    model->handleRestEvents(model->coach().promptNow(), true);
    model->handleRestEvents(model->coach().snooze(), true);
    world.advance(3);
    EXPECT_EQ(model->restPhase(), RestPhase::snoozed);
    EXPECT_EQ(model->overlayState(), std::nullopt);
    model->setSimulatingSamplerFailure(true);
    EXPECT_EQ(model->overlayState(), FaceState::confused);
    EXPECT_EQ(model->menuBarFace(), mood(FaceState::confused));
    EXPECT_EQ(model->line(), "I can't read what your computer is doing right now.");
}

TEST_F(AppModelFacesTest, PopoverOnlyMoodsLeaveTheTrayOnTheHeatFace) {
    tick(90);
    for (const FaceState state : {FaceState::blaming, FaceState::allClear, FaceState::askingToQuit,
                                  FaceState::shh, FaceState::celebrating, FaceState::hello}) {
        model->showMomentary(state, 1);
        EXPECT_EQ(model->menuBarFace(), heatFace()) << toString(state);
        EXPECT_EQ(model->popoverFaceWithoutStyle(), face(state, HeatState::meltdown)) << toString(state);
    }
}

TEST_F(AppModelFacesTest, TheMildVoiceCapsEveryTrayFace) {
    tick(90);
    EXPECT_EQ(model->menuBarFace(), PeaFace::heat(HeatState::meltdown).cappedForMild());
    settings->setPersonality(Personality::gremlin);
    EXPECT_EQ(model->menuBarFace(), PeaFace::heat(HeatState::meltdown));
}

TEST_F(AppModelFacesTest, OnlyThePlainHeatFaceIsAnimated) {
    tick(90);
    const std::vector<PeaFace> strip = PeaAnimation::menuBarFrames(HeatState::meltdown);
    ASSERT_GT(strip.size(), 1U);
    EXPECT_EQ(model->menuBarFrames().size(), strip.size());
    EXPECT_EQ(model->menuBarFrames().front(), strip.front().cappedForMild());

    model->showMomentary(FaceState::grateful, 3);
    EXPECT_EQ(model->menuBarFrames(), std::vector<PeaFace>{mood(FaceState::grateful)});
    world.advance(3);
    model->updateDisplayOptions(true, false);
    EXPECT_EQ(model->menuBarFrames(), std::vector<PeaFace>{heatFace()});
}

TEST_F(AppModelFacesTest, TheLoopFacesHoldEveryHeatFrameTheTrayShowsInEitherVoice) {
    for (const Personality personality : {Personality::mild, Personality::gremlin}) {
        settings->setPersonality(personality);
        const std::vector<PeaFace> loops = model->menuBarLoopFaces();
        for (const HeatState state : allHeatStates) {
            model->setForcedState(state);
            // Heat falling from a meltdown shows a passing mood first.
            world.advance(10);
            ASSERT_EQ(model->overlayState(), std::nullopt);
            for (const bool reduceMotion : {false, true}) {
                model->updateDisplayOptions(reduceMotion, false);
                for (const PeaFace& frame : model->menuBarFrames()) {
                    EXPECT_THAT(loops, ::testing::Contains(frame))
                        << toString(personality) << " " << static_cast<int>(state);
                }
            }
        }
    }
}

TEST_F(AppModelFacesTest, ChangedDisplayOptionsAlwaysRedrawTheTray) {
    tick(5);
    const std::size_t before = menuFaces.size();
    model->updateDisplayOptions(false, false);
    EXPECT_EQ(menuFaces.size(), before);
    model->updateDisplayOptions(false, true);
    EXPECT_EQ(menuFaces.size(), before + 1);
    EXPECT_TRUE(model->increaseContrast());
    model->refreshMenuFace();
    EXPECT_EQ(menuFaces.size(), before + 1);
}

TEST_F(AppModelFacesTest, TheNewestMomentaryFaceKeepsItsFullTime) {
    model->showMomentary(FaceState::grateful, 3);
    world.advance(1);
    model->showMomentary(FaceState::sideEye, 3);
    world.advance(2.5);
    EXPECT_EQ(model->momentaryFace(), FaceState::sideEye);
    world.advance(0.5);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);
}

TEST_F(AppModelFacesTest, FallingFromTheHeatShowsTheCoolingFaceAndPlaysTheSoundWhenAllowed) {
    settings->setSoundsEnabled(true);
    tick(0);
    model->setForcedState(HeatState::meltdown);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);
    EXPECT_EQ(world.soundsPlayed, 0);

    model->setForcedState(HeatState::warm);
    EXPECT_EQ(model->momentaryFace(), FaceState::coolingDown);
    EXPECT_EQ(world.soundsPlayed, 1);
    world.advance(1.2);
    EXPECT_EQ(model->momentaryFace(), std::nullopt);

    // From warm, or over a face already showing, nothing more.
    model->setForcedState(HeatState::chill);
    model->setForcedState(HeatState::sweating);
    model->showMomentary(FaceState::grateful, 3);
    model->setForcedState(HeatState::chill);
    EXPECT_EQ(model->momentaryFace(), FaceState::grateful);
    EXPECT_EQ(world.soundsPlayed, 1);
}

TEST_F(AppModelFacesTest, AnUnchangedStateRedrawsNothing) {
    tick(0);
    const std::size_t before = menuFaces.size();
    const std::string line = model->line();
    model->setForcedState(HeatState::chill);
    EXPECT_EQ(menuFaces.size(), before);
    EXPECT_EQ(model->line(), line);
}

TEST_F(AppModelFacesTest, ACoolMachineWithFullMemoryBlamesTheLargestApplication) {
    tick(5);
    feedMemory(MemoryPressure::warning, 2ULL << 30);
    ASSERT_TRUE(model->blame().memoryCulprit());
    EXPECT_EQ(model->blame().memoryCulprit()->name, "Browser");
    EXPECT_TRUE(model->blame().isMemoryFull());
    EXPECT_EQ(model->popoverFaceWithoutStyle(), PeaFace::stuffed());
    EXPECT_EQ(model->blame().displayedBlameLine(),
              Copy::memoryBlameLine(*model->blame().memoryCulprit(), Personality::mild));

    feedMemory(MemoryPressure::critical, 512ULL << 20);
    EXPECT_FALSE(model->blame().memoryCulprit());
    EXPECT_TRUE(model->blame().isMemoryFull());
    EXPECT_EQ(model->blame().displayedBlameLine(),
              "I'm not hot. I'm full. Something is holding too much memory.");

    feedMemory(MemoryPressure::normal, 2ULL << 30);
    EXPECT_FALSE(model->blame().isMemoryFull());
}

TEST_F(AppModelFacesTest, AHotMachineNeverBlamesMemory) {
    tick(90);
    feedMemory(MemoryPressure::critical, 4ULL << 30);
    EXPECT_FALSE(model->blame().memoryCulprit());
    EXPECT_FALSE(model->blame().isMemoryFull());
}

TEST_F(AppModelFacesTest, TheSystemsOwnBusyPartIsNamedWhenTheSystemIsToBlame) {
    tick(60);
    model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 3}}));
    ASSERT_TRUE(model->blame().culprit());
    EXPECT_EQ(model->blame().displayedBlameLine(), "It's Linux doing its own thing. Not your apps.");
    model->popoverWillOpen(false);
    world.advance(2);
    model->blame().ingestListing({{7, 0, "/usr/lib/tracker-miner-fs-3"}}, world.now);
    world.advance(2);
    model->blame().ingestListing({{7, 4, "/usr/lib/tracker-miner-fs-3"}}, world.now);
    EXPECT_EQ(model->blame().displayedBlameLine(),
              "It's Linux: tracker-miner-fs-3 is the busy one. Not your apps.");
}

TEST_F(AppModelFacesTest, TheAllClearFaceNeedsACoolMachineWithAppsButNoCulprit) {
    tick(5);
    EXPECT_EQ(model->popoverFaceWithoutStyle(), PeaFace::heat(HeatState::chill));
    model->ingestProcesses(processSample(world.now, 2, {{app("Editor"), 0.5}}));
    ASSERT_FALSE(model->blame().topApps().empty());
    PeaFace clear = face(FaceState::allClear, HeatState::chill);
    clear.sweatDrops = PeaFace::heat(HeatState::chill).sweatDrops;
    EXPECT_EQ(model->popoverFaceWithoutStyle(), clear);

    for (int i = 0; i < 10; ++i) {
        tick(90);
    }
    ASSERT_TRUE(model->blame().culprit());
    EXPECT_EQ(model->popoverFaceWithoutStyle(), face(FaceState::blaming, HeatState::meltdown));
    model->blame().setConfirmingQuit(app("Editor"));
    EXPECT_EQ(model->popoverFaceWithoutStyle(), face(FaceState::askingToQuit, HeatState::meltdown));
}

} // namespace
} // namespace halvrick
