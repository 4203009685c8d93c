#include "AppModelFakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;
using testing::ElementsAre;

// A machine that heats up step by step under a build, melts down, and cools off when the build ends;
// a process sample every other second says who did it.
class HeatingScenarioTest : public ModelTest {
protected:
    HeatingScenarioTest() {
        world.dataFolder = folder.path();
        make();
        model->start();
        QObject::connect(model.get(), &AppModel::stateChanged, [this] { states.push_back(model->state()); });
    }

    // `seconds` ticks at `load`, with the compiler using `compilerCores` and the browser one core.
    void run(int seconds, double load, double compilerCores) {
        for (int i = 0; i < seconds; ++i) {
            tick(load);
            ++clock;
            booked[model->engine().state()] += 1;
            if (clock % 2 == 0) {
                world.processSampler->onSample(processSample(
                    world.now, 2, {{compiler, compilerCores}, {browser, 1}, {AppKey::system(), 0.25}}));
            }
        }
    }

    const DailyStats& today() const {
        return model->stats().ledger().days.at(StatsLedger::dayKey(world.now, world.calendar));
    }

    QTemporaryDir folder;
    const AppKey compiler = app("Compiler");
    const AppKey browser = app("Browser");
    std::vector<HeatState> states;
    std::map<HeatState, double> booked;
    int clock = 0;
};

TEST_F(HeatingScenarioTest, HeatsFromIdleToMeltdownAndCoolsBookingTheHotSecondsToTheBuild) {
    tick(2);
    run(30, 2, 0);
    EXPECT_EQ(model->state(), HeatState::chill);
    EXPECT_TRUE(model->stats().ledger().days.empty() || today().sweatingSeconds == 0);

    run(20, 35, 1);
    EXPECT_EQ(model->state(), HeatState::warm);
    run(20, 60, 2);
    EXPECT_EQ(model->state(), HeatState::sweating);
    run(60, 97, 3);
    EXPECT_EQ(model->state(), HeatState::meltdown);
    EXPECT_NEAR(model->score(), 97, 0.1);
    run(60, 3, 0);
    EXPECT_EQ(model->state(), HeatState::chill);
    EXPECT_LT(model->score(), 5);
    EXPECT_THAT(states,
                ElementsAre(HeatState::warm, HeatState::sweating, HeatState::meltdown, HeatState::chill));

    // Every second the engine spent sweating or melting is booked, and nothing else.
    const DailyStats& day = today();
    EXPECT_DOUBLE_EQ(day.sweatingSeconds, booked[HeatState::sweating]);
    EXPECT_DOUBLE_EQ(day.meltdownSeconds, booked[HeatState::meltdown]);
    EXPECT_GT(day.sweatingSeconds, 10);
    EXPECT_GT(day.meltdownSeconds, 60);
    // Someone was at the keyboard all along.
    EXPECT_EQ(day.activeSeconds, 190);

    // The hot seconds are split by CPU use; while the compiler sat idle nothing was credited to it.
    const AppSweat& built = day.apps.at(compiler.id);
    const AppSweat& browsed = day.apps.at(browser.id);
    const AppSweat& system = day.apps.at(AppKey::system().id);
    EXPECT_EQ(built.name, "Compiler");
    EXPECT_TRUE(system.isSystem);
    EXPECT_DOUBLE_EQ(built.cpuSeconds, 20 * 1 + 20 * 2 + 60 * 3);
    EXPECT_DOUBLE_EQ(browsed.cpuSeconds, 190);
    const double hot = day.sweatingSeconds + day.meltdownSeconds;
    EXPECT_NEAR(built.sweatSeconds + browsed.sweatSeconds + system.sweatSeconds, hot, 2);
    EXPECT_GT(built.sweatSeconds, 2 * browsed.sweatSeconds);
    EXPECT_NEAR(system.sweatSeconds * 4, browsed.sweatSeconds, 1e-9);
}

TEST_F(HeatingScenarioTest, TheLedgerReachesTheFileWithTheFirstBookingAndOncePerMinuteAfter) {
    const auto contents = [path = folder.path() + "/stats.json"] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    tick(100);
    run(10, 100, 2);
    const QByteArray first = contents();
    ASSERT_FALSE(first.isEmpty());

    run(30, 100, 2);
    EXPECT_TRUE(model->stats().isDirty());
    EXPECT_EQ(contents(), first);
    run(40, 100, 2);
    EXPECT_NE(contents(), first);
}

TEST_F(HeatingScenarioTest, AForcedMeltdownIsNotHistory) {
    tick(0);
    model->setForcedState(HeatState::meltdown);
    run(30, 0, 0);
    EXPECT_EQ(model->state(), HeatState::meltdown);
    EXPECT_TRUE(model->stats().ledger().days.empty() || today().meltdownSeconds == 0);
}

} // namespace
} // namespace halvrick
