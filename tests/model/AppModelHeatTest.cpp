#include "AppModelFakes.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;

class AppModelHeatTest : public ModelTest {
protected:
    AppModelHeatTest() {
        make();
        QObject::connect(model.get(), &AppModel::stateChanged, [this] { states.push_back(model->state()); });
    }

    std::vector<HeatState> states;
};

TEST_F(AppModelHeatTest, StartWiresTheSamplersAndStartsThemAtTheirIntervals) {
    model->start();
    EXPECT_EQ(world.systemTimer->interval, 1);
    EXPECT_EQ(world.processTimer->interval, 2);
    // The listing runs only while the popover is open.
    EXPECT_FALSE(world.breakdownTimer->isActive());

    world.advance(1);
    world.systemSampler->onSample(80, world.now);
    EXPECT_EQ(model->cpuLoad(), 80);

    world.systemSampler->onThermalChange(ThermalLevel::serious);
    EXPECT_EQ(model->thermal(), ThermalLevel::serious);
    EXPECT_EQ(model->engine().thermal(), ThermalLevel::serious);
    // The level reaches the score at the next sample, not at once.
    EXPECT_EQ(model->score(), 80);
    world.advance(1);
    world.systemSampler->onSample(0, world.now);
    EXPECT_GT(model->score(), Config::defaults().thermalBumpSerious);
}

TEST_F(AppModelHeatTest, AStateMovesOnlyAfterItsHoldAndIsPublishedOnce) {
    tick(0);
    for (int i = 0; i < 10; ++i) {
        tick(40);
    }
    EXPECT_THAT(states, ElementsAre(HeatState::warm));
    EXPECT_NEAR(model->score(), 40, 0.5);
    EXPECT_EQ(model->cpuLoad(), 40);
}

TEST_F(AppModelHeatTest, ForcingAStateOverridesTheEngineUntilCleared) {
    tick(0);
    model->setForcedState(HeatState::meltdown);
    EXPECT_EQ(model->state(), HeatState::meltdown);
    EXPECT_EQ(model->forcedState(), HeatState::meltdown);
    tick(0);
    model->setForcedState(HeatState::meltdown);
    EXPECT_THAT(states, ElementsAre(HeatState::meltdown));

    model->setForcedState(std::nullopt);
    EXPECT_THAT(states, ElementsAre(HeatState::meltdown, HeatState::chill));
}

TEST_F(AppModelHeatTest, SamplingFailsAfterARunOfBadReportsAndRecoversAfterGoodOnes) {
    model->start();
    int changes = 0;
    QObject::connect(model.get(), &AppModel::samplingFailedChanged, [&] { ++changes; });

    world.systemSampler->onHealth(false);
    world.systemSampler->onHealth(false);
    EXPECT_FALSE(model->samplingFailed());
    world.systemSampler->onHealth(false);
    world.systemSampler->onHealth(false);
    EXPECT_TRUE(model->samplingFailed());
    EXPECT_EQ(changes, 1);

    // A recovered CPU sampler does not hide a failing process sampler.
    for (int i = 0; i < 3; ++i) {
        world.processSampler->onHealth(false);
    }
    world.systemSampler->onHealth(true);
    world.systemSampler->onHealth(true);
    EXPECT_TRUE(model->samplingFailed());
    world.processSampler->onHealth(true);
    world.processSampler->onHealth(true);
    EXPECT_FALSE(model->samplingFailed());
    EXPECT_EQ(changes, 2);
}

TEST_F(AppModelHeatTest, ASimulatedFailureShowsAtOnceAndEndsWithTheSwitch) {
    model->setSimulatingSamplerFailure(true);
    EXPECT_TRUE(model->samplingFailed());
    model->setSimulatingSamplerFailure(false);
    EXPECT_FALSE(model->samplingFailed());
}

} // namespace
} // namespace halvrick
