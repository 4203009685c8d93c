#include "MenuTestSupport.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QPointer>

namespace halvrick::menutest {
namespace {

using Command = MenuRow::Command;

std::vector<MenuRow> sample(bool vitalsEnabled, bool withQuit) {
    MenuRow automatic = MenuRow::toggle(Command::clearForcedState, "Automatic (real load)", true);
    automatic.exclusive = true;
    MenuRow meltdown = MenuRow::toggle(Command::forceState, "Force Meltdown", false);
    meltdown.exclusive = true;
    meltdown.state = HeatState::meltdown;
    MenuRow debug = MenuRow::item(Command::debugMenu, "Debug");
    debug.submenu = {automatic, meltdown};
    std::vector<MenuRow> rows{debug, MenuRow::separator(),
                              MenuRow::item(Command::history, "History & Trends…"),
                              MenuRow::item(Command::vitals, "Vitals…", vitalsEnabled)};
    if (withQuit) {
        rows.push_back(MenuRow::item(Command::quit, "Quit Halvrick"));
    }
    return rows;
}

TEST(LiveMenuTest, StatesChangeInPlaceAndNewItemsRebuild) {
    ASSERT_TRUE(qtTestAppReady());
    LiveMenu menu;
    menu.setRows(sample(true, false));
    QPointer<QAction> vitals = menu.action(Command::vitals);
    QPointer<QAction> meltdown = menu.action(Command::forceState, HeatState::meltdown);
    ASSERT_TRUE(vitals && meltdown);
    EXPECT_TRUE(vitals->isEnabled());
    EXPECT_EQ(menu.actions().size(), 4);

    std::vector<MenuRow> ticked = sample(false, false);
    ticked[0].submenu[0].checked = false;
    ticked[0].submenu[1].checked = true;
    menu.setRows(ticked);
    EXPECT_EQ(menu.action(Command::vitals), vitals.data());
    EXPECT_EQ(menu.action(Command::forceState, HeatState::meltdown), meltdown.data());
    EXPECT_FALSE(vitals->isEnabled());
    EXPECT_TRUE(meltdown->isChecked());
    EXPECT_FALSE(menu.action(Command::clearForcedState)->isChecked());

    menu.setRows(sample(true, true));
    ASSERT_EQ(menu.actions().size(), 5);
    EXPECT_NE(menu.action(Command::vitals), vitals.data());
    EXPECT_EQ(menu.actions()[4], menu.action(Command::quit)) << "the old items left the menu at once";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(vitals);
    EXPECT_FALSE(meltdown);
}

TEST(LiveMenuTest, ChoicesReachTheHostFromSubmenusToo) {
    ASSERT_TRUE(qtTestAppReady());
    LiveMenu menu;
    std::vector<MenuRow> chosen;
    menu.onTrigger = [&](const MenuRow& r) { chosen.push_back(r); };
    menu.setRows(sample(true, false));
    menu.action(Command::forceState, HeatState::meltdown)->trigger();
    menu.action(Command::history)->trigger();
    ASSERT_EQ(chosen.size(), 2U);
    EXPECT_EQ(chosen[0].state, HeatState::meltdown);
    EXPECT_EQ(chosen[1].command, Command::history);

    // The radio items form one exclusive group, the plain items none.
    QAction* meltdown = menu.action(Command::forceState, HeatState::meltdown);
    ASSERT_NE(meltdown->actionGroup(), nullptr);
    EXPECT_EQ(meltdown->actionGroup(), menu.action(Command::clearForcedState)->actionGroup());
    EXPECT_EQ(menu.action(Command::history)->actionGroup(), nullptr);
}

TEST(LiveMenuTest, AnAmpersandIsShownNotTakenAsAnAccessKey) {
    ASSERT_TRUE(qtTestAppReady());
    LiveMenu menu;
    menu.setRows(sample(true, false));
    EXPECT_TRUE(QKeySequence::mnemonic(menu.action(Command::history)->text()).isEmpty());
    EXPECT_FALSE(QKeySequence::mnemonic(QStringLiteral("History & Trends…")).isEmpty())
        << "as it would be, taken as it stands";
}

} // namespace
} // namespace halvrick::menutest
