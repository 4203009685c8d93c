#include "settings/GeneralPane.h"

#include "settings/SettingsBindings.h"
#include "ui/SegmentedControl.h"

#include "SettingsTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace halvrick {
namespace {

using testing_support::SettingsTest;

class GeneralPaneTest : public SettingsTest {
protected:
    void make(AppIdentity identity = AppIdentity()) {
        pane.reset();
        bindings = std::make_unique<SettingsBindings>(settings, notifier, loginItem, identity);
        pane = std::make_unique<GeneralPane>(*bindings, [this] { ++historyOpened; }, [this] { ++resetAsked; });
        pane->show();
    }

    std::unique_ptr<SettingsBindings> bindings;
    std::unique_ptr<GeneralPane> pane;
    int historyOpened = 0;
    int resetAsked = 0;
};

TEST_F(GeneralPaneTest, LoginSwitchShowsWhatTheDesktopHoldsAfterEveryWrite) {
    loginItem.setHeld(true);
    make();
    EXPECT_TRUE(pane->loginSwitch()->isChecked());
    EXPECT_TRUE(pane->loginErrorCaption()->isHidden());

    loginItem.refusal = "Could not write ~/.config/autostart/halvrick.desktop: No space left on device";
    pane->loginSwitch()->click();
    EXPECT_EQ(loginItem.writes, 1);
    EXPECT_TRUE(pane->loginSwitch()->isChecked()) << "a refused change leaves the item as it was";
    ASSERT_FALSE(pane->loginErrorCaption()->isHidden());
    EXPECT_EQ(pane->loginErrorCaption()->text().toStdString(), *loginItem.refusal);

    loginItem.refusal.reset();
    pane->loginSwitch()->click();
    EXPECT_FALSE(pane->loginSwitch()->isChecked());
    EXPECT_FALSE(loginItem.isEnabled());
    EXPECT_TRUE(pane->loginErrorCaption()->isHidden()) << "a successful change clears the error";
}

TEST_F(GeneralPaneTest, RefusedLoginTurnOnFallsBackToOff) {
    make();
    loginItem.refusal = "Permission denied";
    pane->loginSwitch()->click();
    EXPECT_FALSE(pane->loginSwitch()->isChecked());
    EXPECT_FALSE(pane->loginErrorCaption()->isHidden());
    EXPECT_EQ(pane->loginErrorCaption()->text(), QStringLiteral("Permission denied"));
}

TEST_F(GeneralPaneTest, NotificationsStayOffUntilTheServerAnswersAndOffWhenNoneDoes) {
    make();
    pane->notificationsSwitch()->click();
    EXPECT_FALSE(pane->notificationsSwitch()->isChecked()) << "nothing is stored before the answer";
    EXPECT_FALSE(settings.notificationsEnabled());

    notifier.answer(false);
    EXPECT_FALSE(settings.notificationsEnabled());
    EXPECT_FALSE(pane->notificationsSwitch()->isChecked());
    EXPECT_FALSE(pane->notificationsDeniedCaption()->isHidden());
    EXPECT_EQ(
        pane->notificationsDeniedCaption()->text(),
        QStringLiteral("No notification service answered. Start your desktop's notification daemon, then "
                       "switch this on again."));
    for (QPushButton* button : pane->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->text().contains(QStringLiteral("Notifications Settings")))
            << "Linux has no settings page to send the user to";
    }

    pane->notificationsSwitch()->click();
    notifier.answer(true);
    EXPECT_TRUE(settings.notificationsEnabled());
    EXPECT_TRUE(pane->notificationsSwitch()->isChecked());
    EXPECT_TRUE(pane->notificationsDeniedCaption()->isHidden());
}

TEST_F(GeneralPaneTest, TurningNotificationsOffLeavesTheDeniedNoteInPlace) {
    settings.setNotificationsEnabled(true);
    make();
    bindings->refresh();
    notifier.answer(false);
    EXPECT_TRUE(pane->notificationsSwitch()->isChecked()) << "the stored wish stays while the server is gone";
    EXPECT_TRUE(settings.notificationsEnabled());
    EXPECT_FALSE(pane->notificationsDeniedCaption()->isHidden());

    pane->notificationsSwitch()->click();
    EXPECT_FALSE(settings.notificationsEnabled());
    EXPECT_TRUE(notifier.pending.empty()) << "turning off asks nothing";
    EXPECT_FALSE(pane->notificationsDeniedCaption()->isHidden());
}

TEST_F(GeneralPaneTest, WithoutAnIdentityBothSwitchesAreLockedAndTheNoteShows) {
    make(AppIdentity::withoutIdentifier());
    loginItem.setHeld(true);
    bindings->refresh();
    EXPECT_FALSE(pane->loginSwitch()->isChecked());
    EXPECT_FALSE(pane->loginSwitch()->isEnabled());
    EXPECT_FALSE(pane->notificationsSwitch()->isEnabled());
    EXPECT_FALSE(pane->developmentNote()->isHidden());
    EXPECT_TRUE(notifier.pending.empty());

    make();
    EXPECT_TRUE(pane->developmentNote()->isHidden());
}

TEST_F(GeneralPaneTest, PickersStoreTheCaseAndTheBlurbFollows) {
    make();
    EXPECT_EQ(pane->personalityBlurb()->text(), QStringLiteral("Dry, understated, a little worried."));
    pane->personalityPicker()->button(3)->click();
    EXPECT_EQ(settings.personality(), Personality::gremlin);
    EXPECT_EQ(defaults.getString("personality"), "gremlin");
    EXPECT_EQ(pane->personalityBlurb()->text(), QStringLiteral("Lowercase, feral, extremely online. Loves chaos."));

    pane->trayStylePicker()->button(2)->click();
    EXPECT_EQ(settings.menuBarDisplay(), MenuBarDisplay::cpu);
    EXPECT_EQ(defaults.getString("menuBarDisplay"), "cpu");

    settings.setPersonality(Personality::deadpan);
    EXPECT_EQ(pane->personalityPicker()->currentIndex(), 2) << "a change made elsewhere shows at once";
    EXPECT_EQ(pane->personalityBlurb()->text(), QStringLiteral("Flat voice. Sees everything. Impressed by nothing."));
}

TEST_F(GeneralPaneTest, SwitchesStore) {
    make();
    pane->monochromeSwitch()->click();
    pane->soundSwitch()->click();
    EXPECT_TRUE(settings.menuBarMonochrome());
    EXPECT_TRUE(settings.soundsEnabled());
}

// Linux has no update framework to switch and no notch to hide behind: neither is offered; where
// updates come from is said instead.
TEST_F(GeneralPaneTest, NoUpdateSwitchAndNoNotch) {
    make();
    QStringList texts;
    for (const QAbstractButton* button : pane->findChildren<QAbstractButton*>()) {
        EXPECT_FALSE(button->text().contains(QStringLiteral("update"), Qt::CaseInsensitive))
            << button->text().toStdString();
        texts << button->text();
    }
    for (const QLabel* label : pane->findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Updates come from your package manager.")));
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(QStringLiteral("notch"), Qt::CaseInsensitive)) << text.toStdString();
    }
}

TEST_F(GeneralPaneTest, StatsButtonsOpenHistoryAndOnlyAskAboutTheReset) {
    make();
    pane->historyButton()->click();
    pane->resetButton()->click();
    EXPECT_EQ(historyOpened, 1);
    EXPECT_EQ(resetAsked, 1);
}

} // namespace
} // namespace halvrick
