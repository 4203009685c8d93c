#include "settings/FocusPane.h"

#include "settings/BoundedStepSpinBox.h"
#include "settings/ReminderRow.h"
#include "settings/SettingsBindings.h"
#include "settings/TimeOfDay.h"

#include "SettingsTestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

namespace halvrick {
namespace {

using testing_support::clear;
using testing_support::leave;
using testing_support::runOut;
using testing_support::SettingsTest;
using testing_support::typeAndReturn;

class FocusPaneTest : public SettingsTest {
protected:
    void make() {
        pane.reset();
        bindings = std::make_unique<SettingsBindings>(settings, notifier, loginItem, AppIdentity());
        pane = std::make_unique<FocusPane>(*bindings, [this](const Reminder& r) { edited.push_back(r); });
        pane->show();
    }

    std::unique_ptr<SettingsBindings> bindings;
    std::unique_ptr<FocusPane> pane;
    std::vector<Reminder> edited;
};

TEST_F(FocusPaneTest, TypedIntervalsAreStoredWithinOneTo480AndTheFieldShowsWhatWasStored) {
    make();
    BoundedStepSpinBox& field = *pane->intervalField();
    struct Case {
        const char* typed;
        std::int64_t stored;
    };
    for (const Case c : {Case{"0", 1}, Case{"1000", 480}, Case{"-7", 1}, Case{"75", 75}, Case{"1", 1}}) {
        typeAndReturn(field, QString::fromLatin1(c.typed));
        EXPECT_EQ(settings.restIntervalMinutes(), c.stored) << c.typed;
        EXPECT_EQ(field.value(), c.stored) << c.typed;
    }
    typeAndReturn(field, QStringLiteral("abc"));
    EXPECT_EQ(settings.restIntervalMinutes(), 1) << "letters are no number";
}

// Each value stored is a prompt the coach may give at once: a number counts only once it is typed in
// full, and what reads as no number leaves the interval as it was.
TEST_F(FocusPaneTest, TheIntervalIsStoredOnlyOnceTheTypingIsDone) {
    enum class Done { returnKey, leaving, pause, arrowUp, paste };
    struct Case {
        const char* name;
        std::int64_t before;
        QString typed; // into the emptied field
        Done done;
        std::int64_t after;
    };
    const Case cases[] = {
        {"0 then 5", 60, QStringLiteral("05"), Done::returnKey, 5},
        {"4 then 5, then a pause", 60, QStringLiteral("45"), Done::pause, 45},
        {"a number and an arrow step once", 60, QStringLiteral("7"), Done::arrowUp, 12},
        {"an arrow steps up from a number typed over the top", 480, QStringLiteral("7"), Done::arrowUp, 12},
        {"past the bound", 60, QStringLiteral("1000"), Done::leaving, 480},
        {"far below the bound", 60, QStringLiteral("-99999999999"), Done::returnKey, 1},
        {"emptied", 480, QString(), Done::leaving, 480},
        {"letters", 480, QStringLiteral("abc"), Done::leaving, 480},
        {"a sign alone", 480, QStringLiteral("-"), Done::returnKey, 480},
        {"ten thousand digits pasted", 480, QString(10000, u'9'), Done::paste, 480},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.setRestIntervalMinutes(c.before);
        make();
        BoundedStepSpinBox& field = *pane->intervalField();
        std::vector<std::int64_t> stored;
        const QMetaObject::Connection recording =
            QObject::connect(&settings, &SettingsStore::restIntervalMinutesChanged,
                             [&](std::int64_t m) { stored.push_back(m); });

        clear(field);
        if (c.done == Done::paste) {
            QGuiApplication::clipboard()->setText(c.typed);
            QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(&field, c.typed);
        }
        EXPECT_TRUE(stored.empty()) << "stored while typing";
        switch (c.done) {
        case Done::returnKey:
            QTest::keyClick(&field, Qt::Key_Return);
            break;
        case Done::leaving:
        case Done::paste:
            leave(field);
            break;
        case Done::pause:
            runOut(*field.typingPause());
            break;
        case Done::arrowUp:
            QTest::keyClick(&field, Qt::Key_Up);
            break;
        }
        QObject::disconnect(recording);

        EXPECT_EQ(settings.restIntervalMinutes(), c.after);
        EXPECT_EQ(field.text().toStdString(), std::to_string(c.after));
        EXPECT_LE(stored.size(), 1U);
        for (const std::int64_t m : stored) {
            EXPECT_EQ(m, c.after) << "a value on the way was stored";
        }
    }
}

TEST_F(FocusPaneTest, APauseTakesANumberButLeavesAnEmptiedFieldToTheUser) {
    settings.setRestIntervalMinutes(480);
    make();
    BoundedStepSpinBox& field = *pane->intervalField();
    EXPECT_FALSE(field.typingPause()->isActive());
    QTest::keyClicks(&field, QStringLiteral("0"));
    EXPECT_TRUE(field.typingPause()->isActive());
    EXPECT_EQ(field.typingPause()->interval(), BoundedStepSpinBox::typingPauseMilliseconds);

    clear(field);
    runOut(*field.typingPause());
    EXPECT_EQ(field.text().toStdString(), "") << "the user may still be choosing a number";
    EXPECT_EQ(settings.restIntervalMinutes(), 480);
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text().toStdString(), "480");
    EXPECT_FALSE(field.typingPause()->isActive()) << "Return has taken what there was";

    // A change elsewhere leaves what is being typed alone.
    QTest::keyClicks(&field, QStringLiteral("9"));
    pane->heatBreakSwitch()->click();
    EXPECT_EQ(field.text().toStdString(), "9");
    EXPECT_EQ(settings.restIntervalMinutes(), 480);
}

TEST_F(FocusPaneTest, TheStepperNeverLeavesOneTo480) {
    settings.setRestIntervalMinutes(478);
    make();
    BoundedStepSpinBox& field = *pane->intervalField();
    field.stepBy(1);
    EXPECT_EQ(settings.restIntervalMinutes(), 480);
    field.stepBy(1);
    EXPECT_EQ(settings.restIntervalMinutes(), 480);
    settings.setRestIntervalMinutes(3);
    field.stepBy(-1);
    EXPECT_EQ(settings.restIntervalMinutes(), 1);
    field.stepBy(1);
    EXPECT_EQ(settings.restIntervalMinutes(), 6) << "steps of 5";
}

// The coach uses the store's reading of the interval: the field shows that reading, and the file keeps
// what it holds.
TEST_F(FocusPaneTest, AStoredIntervalOutsideTheRangeShowsAsTheIntervalInUseAndIsNotWrittenBack) {
    struct Case {
        std::int64_t stored;
        int shown;
    };
    for (const Case c : {Case{-5, 1}, Case{0, 1}, Case{900, 480}, Case{100000, 480}}) {
        settings.setRestIntervalMinutes(c.stored);
        make();
        EXPECT_EQ(pane->intervalField()->value(), c.shown) << c.stored;
        EXPECT_EQ(pane->intervalField()->text(), QString::number(c.shown)) << c.stored;
        EXPECT_EQ(settings.restIntervalMinutes(), c.shown) << c.stored;
        pane->heatBreakSwitch()->click();
        EXPECT_EQ(defaults.getInt("restIntervalMinutes"), c.stored);
    }
}

TEST_F(FocusPaneTest, OnlyThePresetInForceIsDisabled) {
    settings.setRestIntervalMinutes(50);
    make();
    for (std::size_t index = 0; index < FocusPane::presets.size(); ++index) {
        EXPECT_TRUE(pane->presetButton(index)->isEnabled()) << FocusPane::presets[index];
    }
    EXPECT_EQ(pane->presetButton(0)->text(), QStringLiteral("30 min"));
    pane->presetButton(1)->click();
    EXPECT_EQ(settings.restIntervalMinutes(), 45);
    EXPECT_EQ(pane->intervalField()->value(), 45);
    const std::vector<bool> enabled{pane->presetButton(0)->isEnabled(), pane->presetButton(1)->isEnabled(),
                                    pane->presetButton(2)->isEnabled(), pane->presetButton(3)->isEnabled()};
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, true}));
}

TEST_F(FocusPaneTest, SwitchedOffSettingsLockTheirControlsButKeepTheirValues) {
    settings.setRestIntervalMinutes(45);
    settings.setNotchPeekEnabled(false);
    make();
    pane->breaksSwitch()->click();
    EXPECT_FALSE(settings.restEnabled());
    EXPECT_FALSE(pane->intervalRow()->isEnabled());
    EXPECT_FALSE(pane->presetButton(0)->isEnabled());
    EXPECT_FALSE(pane->heatBreakSwitch()->isEnabled());
    EXPECT_TRUE(pane->heatBreakSwitch()->isChecked());
    EXPECT_EQ(pane->intervalField()->value(), 45);

    pane->breaksSwitch()->click();
    EXPECT_TRUE(pane->intervalRow()->isEnabled());
    EXPECT_EQ(settings.restIntervalMinutes(), 45);
    EXPECT_TRUE(settings.heatBreakEnabled());
    EXPECT_FALSE(pane->presetButton(1)->isEnabled()) << "45 is still the preset in force";

    pane->headsUpSwitch()->click();
    EXPECT_FALSE(settings.headsUpEnabled());
    EXPECT_FALSE(settings.notchPeekEnabled()) << "the peek keeps its stored value";
}

// No Linux screen has a notch: the peek's switch and its caption would change nothing.
TEST_F(FocusPaneTest, NothingAboutANotchIsOffered) {
    make();
    for (const QWidget* widget : pane->findChildren<QWidget*>()) {
        QString text;
        if (const auto* box = qobject_cast<const QAbstractButton*>(widget)) {
            text = box->text();
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            text = label->text();
        }
        EXPECT_FALSE(text.contains(QStringLiteral("notch"), Qt::CaseInsensitive)) << text.toStdString();
    }
    EXPECT_TRUE(settings.notchPeekEnabled()) << "the setting stays";
}

TEST_F(FocusPaneTest, TimePickersStartAtTheDefaultsLockedUntilTheirSwitchIsOn) {
    make();
    EXPECT_EQ(pane->quietFromField()->time(), QTime(22, 0));
    EXPECT_EQ(pane->quietToField()->time(), QTime(8, 0));
    EXPECT_EQ(pane->eveningField()->time(), QTime(18, 30));
    EXPECT_FALSE(pane->quietFromField()->isEnabled());
    EXPECT_FALSE(pane->quietToField()->isEnabled());
    EXPECT_FALSE(pane->eveningField()->isEnabled());

    pane->quietHoursSwitch()->click();
    pane->eveningSwitch()->click();
    EXPECT_TRUE(pane->quietFromField()->isEnabled());
    EXPECT_TRUE(pane->eveningField()->isEnabled());
}

TEST_F(FocusPaneTest, TimesOfDayShowAndStoreMinutesSinceMidnight) {
    struct Case {
        std::int64_t stored;
        QTime shown;
    };
    // A time outside the day shows as the nearest minute of it, which is also the one in use.
    for (const Case c : {Case{0, QTime(0, 0)}, Case{1439, QTime(23, 59)}, Case{1500, QTime(23, 59)},
                         Case{2079, QTime(23, 59)}, Case{100000, QTime(23, 59)}, Case{-30, QTime(0, 0)},
                         Case{-5, QTime(0, 0)}}) {
        settings.setQuietStartMinute(c.stored);
        settings.setQuietEndMinute(c.stored);
        settings.setEndOfDayMinute(c.stored);
        make();
        EXPECT_EQ(pane->quietFromField()->time(), c.shown) << c.stored;
        EXPECT_EQ(pane->quietToField()->time(), c.shown) << c.stored;
        EXPECT_EQ(pane->eveningField()->time(), c.shown) << c.stored;

        pane->quietHoursSwitch()->click();
        const auto minute = static_cast<std::int64_t>(c.shown.hour() * 60 + c.shown.minute());
        EXPECT_EQ(settings.quietStartMinute(), minute) << c.stored;
        EXPECT_EQ(settings.endOfDayMinute(), minute) << c.stored;
        EXPECT_EQ(defaults.getInt("quietStartMinute"), c.stored) << "never written back";
        EXPECT_EQ(defaults.getInt("endOfDayMinute"), c.stored);
        pane->quietHoursSwitch()->click();
    }

    pane->quietFromField()->setTime(QTime(23, 59));
    pane->quietToField()->setTime(QTime(23, 59));
    pane->eveningField()->setTime(QTime(0, 0));
    EXPECT_EQ(settings.quietStartMinute(), 1439);
    EXPECT_EQ(settings.quietEndMinute(), 1439) << "the same time twice is allowed";
    EXPECT_EQ(settings.endOfDayMinute(), 0);
}

// A reminder stored with a schedule that could never be due reads as the nearest one that is, and its row
// says so: the row, the editor it opens and the scheduler all see the same schedule.
TEST_F(FocusPaneTest, AReminderRowShowsTheScheduleInUse) {
    QLocale::setDefault(QLocale::c());
    struct Case {
        Reminder::Schedule stored;
        const char* shown;
    };
    for (const Case c : {Case{Reminder::Schedule::every(-5), "Every 1 min while you're at the computer"},
                         Case{Reminder::Schedule::every(0), "Every 1 min while you're at the computer"},
                         Case{Reminder::Schedule::daily(25, 70), "Every day at 23:59"},
                         Case{Reminder::Schedule::daily(-1, 30), "Every day at 00:30"}}) {
        const Reminder stored(Uuid::random([](std::size_t) { return std::size_t{7}; }), "Stretch", c.stored,
                              true);
        settings.setReminders({stored});
        make();
        ASSERT_EQ(pane->reminderRows().size(), 1U);
        EXPECT_EQ(pane->reminderRows()[0]->summaryLabel()->text(), QString::fromUtf8(c.shown))
            << c.stored.toJson().dump();
        pane->reminderRows()[0]->editButton()->click();
        ASSERT_FALSE(edited.empty());
        EXPECT_EQ(edited.back().schedule, c.stored.nearestValid());
    }
}

TEST_F(FocusPaneTest, TheBlurbShowsOnlyWhileThereAreNoReminders) {
    make();
    EXPECT_FALSE(pane->remindersBlurb()->isHidden());
    EXPECT_TRUE(pane->reminderRows().empty());

    pane->addReminderButton()->click();
    ASSERT_EQ(edited.size(), 1U);
    EXPECT_EQ(edited[0].text, "");
    EXPECT_EQ(edited[0].schedule, Reminder::Schedule::every(30));
    EXPECT_TRUE(edited[0].isEnabled);
    EXPECT_TRUE(settings.reminders().empty()) << "nothing is stored before the editor saves";

    settings.upsert(edited[0]);
    EXPECT_TRUE(pane->remindersBlurb()->isHidden());
    ASSERT_EQ(pane->reminderRows().size(), 1U);
    pane->reminderRows()[0]->editButton()->click();
    ASSERT_EQ(edited.size(), 2U);
    EXPECT_EQ(edited[1], edited[0]);

    pane->addReminderButton()->click();
    ASSERT_EQ(edited.size(), 3U);
    EXPECT_NE(edited[2].id, edited[0].id) << "every new reminder gets its own id";
}

} // namespace
} // namespace halvrick

namespace halvrick {
namespace {

TEST(TimeOfDayTest, TimeFieldsShowHoursAndMinutesInTheUsersFormat) {
    ASSERT_TRUE(qtTestAppReady());
    struct Case {
        const char* locale;
        const char* shown;
    };
    for (const Case c : {Case{"C", "22:05"}, Case{"en_US", "10:05 PM"}, Case{"de_DE", "22:05"}}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        QTimeEdit* edit = TimeOfDay::makeEdit(nullptr);
        TimeOfDay::show(*edit, 22 * 60 + 5);
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << c.locale;
        delete edit;
    }
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace halvrick
