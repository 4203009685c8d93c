#include "AppModelFakes.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;

using Names = std::map<std::string, std::string>;

class AppModelIgnoredTest : public ModelTest {};

TEST_F(AppModelIgnoredTest, LegacyIdsMigrateWithTheirLastComponentAsName) {
    world.defaults->setStringMap("ignoredAppNames", {{"/Applications/Mail.app", "My Mail"}});
    world.defaults->setStringList("ignoredApps",
                                  {"/Applications/Safari.app", "/Applications/Notes.APP",
                                   "/Applications/Mail.app", "firefox", "/opt/tool//", "///", ".app"});
    make();
    EXPECT_THAT(model->blame().ignoredNames(),
                ElementsAre(Pair(".app", ""), Pair("///", "///"), Pair("/Applications/Mail.app", "My Mail"),
                            Pair("/Applications/Notes.APP", "Notes"),
                            Pair("/Applications/Safari.app", "Safari"), Pair("/opt/tool//", "tool"),
                            Pair("firefox", "firefox")));
    // Only saving drops the older key.
    EXPECT_TRUE(world.defaults->getStringList("ignoredApps"));
}

TEST_F(AppModelIgnoredTest, ValuesOfAnotherShapeReadAsNothing) {
    world.defaults->setString("ignoredAppNames", "Safari");
    world.defaults->setString("ignoredApps", "/Applications/Safari.app");
    make();
    EXPECT_THAT(model->blame().ignoredNames(), IsEmpty());
}

TEST_F(AppModelIgnoredTest, SavingWritesTheNamesAndDropsTheOlderList) {
    world.defaults->setStringList("ignoredApps", {"/Applications/Safari.app"});
    make();
    Names names = model->blame().ignoredNames();
    names.emplace(app("Editor").id, "Editor");
    model->blame().setIgnoredNames(names);
    model->blame().saveIgnored();
    EXPECT_EQ(world.defaults->getStringMap("ignoredAppNames"), names);
    EXPECT_FALSE(world.defaults->getStringList("ignoredApps"));
}

TEST_F(AppModelIgnoredTest, AnIgnoredApplicationIsNeitherListedNorCredited) {
    make();
    model->blame().setIgnoredNames({{app("Game").id, "Game"}});
    tick(100);
    ASSERT_EQ(model->engine().state(), HeatState::meltdown);
    ProcessSampler::Sample sample = processSample(world.now, 2, {{app("Game"), 3}, {app("Editor"), 1}});
    sample.footprints = {{app("Game"), 5000}, {app("Editor"), 100}};
    model->ingestProcesses(sample);

    ASSERT_EQ(model->blame().memoryApps().size(), 1U);
    EXPECT_EQ(model->blame().memoryApps()[0].name, "Editor");
    const DailyStats& day = model->stats().ledger().days.at(StatsLedger::dayKey(world.now, world.calendar));
    EXPECT_FALSE(day.apps.contains(app("Game").id));
    // The hot time is shared among the applications that are not ignored.
    EXPECT_DOUBLE_EQ(day.apps.at(app("Editor").id).sweatSeconds, 2);
}

} // namespace
} // namespace halvrick
