#include "settings/FirstRunWindowController.h"

#include "DarkPalette.h"
#include "SettingsTestSupport.h"
#include "pea/AnimatedPeaView.h"
#include "settings/FirstRunView.h"

#include <QApplication>
#include <QDir>
#include <QShortcut>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using testing_support::settle;

class FirstRunWindowTest : public testing_support::SettingsTest {
protected:
    void show(AppIdentity identity = AppIdentity()) {
        const Calendar berlin("Europe/Berlin");
        controller->show({settings, notifier, loginItem, std::move(identity),
                          WallClock{[berlin] { return berlin.date(2026, 3, 5, 9); }, [berlin] { return berlin; }},
                          [this] { return reducesMotion; }},
                         [this] { ++popoversOpened; });
        ASSERT_NE(controller->view(), nullptr);
    }

    // What a later launch reads.
    bool storedAsCompleted() { return SettingsStore(defaults).hasCompletedFirstRun(); }

    void pressShortcut(Qt::Key key) {
        for (QShortcut* shortcut : controller->window()->findChildren<QShortcut*>()) {
            if (shortcut->key() == QKeySequence(key)) {
                emit shortcut->activated();
                return;
            }
        }
        FAIL() << "no shortcut for the key";
    }

    std::unique_ptr<FirstRunWindowController> controller = std::make_unique<FirstRunWindowController>();
    int popoversOpened = 0;
    bool reducesMotion = false;
};

struct Ending {
    const char* name;
    std::function<void()> end;
};

// However the window ends, the first run is stored once and the popover opens once; the window goes.
TEST_F(FirstRunWindowTest, EveryWayOfEndingCompletesTheFirstRunOnce) {
    const std::vector<Ending> endings{
        {"Skip", [this] { controller->view()->skipButton().click(); }},
        {"LetsGo", [this] { controller->view()->goButton().click(); }},
        {"CloseButton", [this] { controller->window()->close(); }},
        {"Escape", [this] { pressShortcut(Qt::Key_Escape); }},
        {"Return", [this] { pressShortcut(Qt::Key_Return); }},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        controller = std::make_unique<FirstRunWindowController>();
        settings.setHasCompletedFirstRun(false);
        popoversOpened = 0;
        show();
        ending.end();
        settle();
        EXPECT_TRUE(controller->completed());
        EXPECT_TRUE(storedAsCompleted());
        EXPECT_EQ(popoversOpened, 1);
        EXPECT_EQ(controller->window(), nullptr);
    }
}

TEST_F(FirstRunWindowTest, SkipAppliesNeitherChoice) {
    loginItem.setHeld(true);
    show();
    controller->view()->openAtLogin().setChecked(false);
    controller->view()->notify().setChecked(true);
    controller->view()->skipButton().click();
    EXPECT_EQ(loginItem.writes, 0);
    EXPECT_TRUE(loginItem.isEnabled());
    EXPECT_TRUE(notifier.pending.empty());
}

TEST_F(FirstRunWindowTest, LetsGoWithBothOffUnregistersTheLoginItemAndLeavesNotificationsAlone) {
    loginItem.setHeld(true);
    settings.setNotificationsEnabled(true);
    show();
    EXPECT_TRUE(controller->view()->openAtLogin().isChecked()) << "starts as the desktop has it";
    EXPECT_FALSE(controller->view()->notify().isChecked());
    controller->view()->openAtLogin().setChecked(false);
    controller->view()->goButton().click();
    EXPECT_EQ(loginItem.writes, 1);
    EXPECT_FALSE(loginItem.isEnabled());
    EXPECT_TRUE(settings.notificationsEnabled());
    EXPECT_TRUE(notifier.pending.empty());
}

// The first run is stored at once; the notification setting when the server answers, window or not.
TEST_F(FirstRunWindowTest, NotificationsAreStoredWhenTheServerAnswers) {
    for (const bool answers : {true, false}) {
        SCOPED_TRACE(answers);
        controller = std::make_unique<FirstRunWindowController>();
        settings.setNotificationsEnabled(!answers);
        show();
        controller->view()->notify().setChecked(true);
        controller->view()->goButton().click();
        settle();
        EXPECT_TRUE(storedAsCompleted());
        EXPECT_EQ(settings.notificationsEnabled(), !answers) << "nothing before the answer";
        ASSERT_EQ(notifier.pending.size(), 1u);
        notifier.answer(answers);
        EXPECT_EQ(settings.notificationsEnabled(), answers);
        EXPECT_EQ(SettingsStore(defaults).notificationsEnabled(), answers);
    }
}

TEST_F(FirstRunWindowTest, WithoutAnIdentityTheChoicesAreLockedAndLetsGoStillCompletes) {
    settings.setNotificationsEnabled(true);
    loginItem.setHeld(true);
    show(AppIdentity::withoutIdentifier());
    FirstRunView& view = *controller->view();
    EXPECT_FALSE(view.openAtLogin().isEnabled());
    EXPECT_FALSE(view.notify().isEnabled());
    EXPECT_FALSE(view.openAtLogin().isChecked());
    view.window()->grab().save(QDir::current().filePath(QStringLiteral("first-run-unpackaged.png")));
    view.notify().setChecked(true);
    view.goButton().click();
    EXPECT_FALSE(settings.notificationsEnabled());
    EXPECT_TRUE(storedAsCompleted());
}

TEST_F(FirstRunWindowTest, TheHelloPeaFollowsTheDesktopsMotionSetting) {
    reducesMotion = true;
    show();
    EXPECT_FALSE(controller->view()->pea().isAnimating());
    reducesMotion = false;
    controller->refreshMotion();
    EXPECT_TRUE(controller->view()->pea().isAnimating());
}

TEST_F(FirstRunWindowTest, TheWindowShowsTheSampleCardAsOnePicture) {
    show();
    FirstRunView& view = *controller->view();
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("Halvrick"));
    EXPECT_GE(controller->window()->width(), FirstRunView::width);
    EXPECT_EQ(view.card().accessibleName(), QStringLiteral("A roast card, one tap away"));
    EXPECT_EQ(view.card().size(), QSize(252, 252));
    const QImage shot = controller->window()->grab().toImage();
    shot.save(QDir::current().filePath(QStringLiteral("first-run.png")));
    const QPoint cardCentre = view.card().mapTo(controller->window(), view.card().rect().center());
    const QColor inCard = shot.pixelColor(cardCentre * shot.devicePixelRatio());
    EXPECT_GT(inCard.red(), inCard.blue()) << "the card's warm gradient is painted";

    // The sample blames a browser a Linux user has, as an installed application.
    const RoastCardData sample = FirstRunView::sampleCard(Calendar().date(2026, 3, 5, 9), Calendar());
    EXPECT_EQ(sample.app, AppKey(AppKey::Kind::app, "/usr/share/applications/firefox.desktop", "Firefox"));
    EXPECT_EQ(sample.state, HeatState::sweating);
    EXPECT_EQ(sample.cpuLoad, 78);
    EXPECT_EQ(sample.share, 0.42);
    EXPECT_EQ(sample.personality, Personality::mild);
}

// Looked at by hand: the window in a dark palette, set before it is built.
TEST_F(FirstRunWindowTest, TheWindowInTheDark) {
    const DarkPalette dark;
    show();
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(controller->window()->grab().save(QDir::current().filePath(QStringLiteral("first-run-dark.png"))));
}

} // namespace
} // namespace halvrick
