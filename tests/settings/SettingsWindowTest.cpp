#include "DarkPalette.h"
#include "SettingsTestSupport.h"
#include "model/Copy.h"
#include "settings/BoundedStepSpinBox.h"
#include "settings/FocusPane.h"
#include "settings/GeneralPane.h"
#include "settings/ReminderEditorDialog.h"
#include "settings/ReminderRow.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "ui/ElidedLabel.h"
#include "ui/PlainText.h"
#include "ui/SegmentedControl.h"
#include "ui/WindowShell.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace halvrick {
namespace {

using testing_support::clear;
using testing_support::leave;
using testing_support::press;
using testing_support::runOut;
using testing_support::settle;
using testing_support::SettingsTest;
using testing_support::typeAndReturn;
using Schedule = Reminder::Schedule;

Reminder reminder(const char* id, std::string text, Schedule schedule, bool enabled = true) {
    return Reminder(*Uuid::fromString(id), std::move(text), schedule, enabled);
}

const Reminder water = reminder("11111111-1111-4111-8111-111111111111", "Drink water", Schedule::every(30));
const Reminder posture =
    reminder("22222222-2222-4222-8222-222222222222", "Sit up straight", Schedule::every(45), false);
const Reminder call = reminder("33333333-3333-4333-8333-333333333333", "Call Mum", Schedule::daily(15, 0));

class SettingsWindowTest : public SettingsTest {
protected:
    SettingsView& view() {
        controller.show();
        return *controller.view();
    }
    FocusPane& focus() { return *view().focusPane(); }
    ReminderEditorDialog& editor() {
        ReminderEditorDialog* dialog = view().reminderEditor();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }

    int resets = 0;
    SettingsWindowController controller{settings, notifier, loginItem, [this] { ++resets; }, {}};
};

TEST_F(SettingsWindowTest, ShowingTwiceKeepsOneWindowWhereTheUserLeftIt) {
    controller.show();
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvrick Settings"));
    // The designed size, as far as the test's screen has room for it.
    EXPECT_EQ(window->size(),
              QSize(SettingsView::width, SettingsView::height).boundedTo(WindowShell::room(*window)));
    QTabWidget& tabs = *controller.view()->tabs();
    ASSERT_EQ(tabs.count(), 2);
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("General"));
    EXPECT_EQ(tabs.tabText(1), QStringLiteral("Focus"));

    loginItem.refusal = "Permission denied";
    controller.view()->generalPane()->loginSwitch()->click();
    window->move(window->pos() + QPoint(40, 30));
    const QPoint moved = window->pos();
    window->close();
    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_EQ(window->pos(), moved) << "not centred again";
    EXPECT_FALSE(controller.view()->generalPane()->loginErrorCaption()->isHidden()) << "the view state is kept";
}

TEST_F(SettingsWindowTest, ComingOnScreenReadsTheLoginItemAndTheServerAfresh) {
    settings.setNotificationsEnabled(true);
    controller.show();
    notifier.answer(true);
    GeneralPane& general = *controller.view()->generalPane();
    EXPECT_FALSE(general.loginSwitch()->isChecked());
    controller.window()->close();

    loginItem.setHeld(true);
    controller.show();
    EXPECT_TRUE(general.loginSwitch()->isChecked());
    ASSERT_EQ(notifier.pending.size(), 1U);
    notifier.answer(false);
    EXPECT_FALSE(general.notificationsDeniedCaption()->isHidden());
    EXPECT_TRUE(settings.notificationsEnabled());
}

TEST_F(SettingsWindowTest, OnlyResetInTheConfirmationResetsTheStats) {
    settings.setPersonality(Personality::dramatic);
    view().generalPane()->resetButton()->click();
    QMessageBox* box = view().resetConfirmation();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Reset all stats?"));
    EXPECT_EQ(box->informativeText(),
              QStringLiteral("Sweat time, breaks, and memory and storage history for the last 13 months will be deleted."));
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(resets, 0) << "asking deletes nothing";
    ASSERT_NE(box->escapeButton(), nullptr);
    box->escapeButton()->click();
    settle();
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(view().resetConfirmation(), nullptr);

    view().generalPane()->resetButton()->click();
    box = view().resetConfirmation();
    ASSERT_NE(box, nullptr);
    QAbstractButton* reset = nullptr;
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::DestructiveRole) {
            reset = button;
        }
    }
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->text(), QStringLiteral("Reset"));
    reset->click();
    settle();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(settings.personality(), Personality::dramatic) << "settings are not touched";
}

TEST_F(SettingsWindowTest, ANewReminderOpensEmptyAndCancellingStoresNothing) {
    focus().addReminderButton()->click();
    ReminderEditorDialog& dialog = editor();
    EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
    EXPECT_EQ(dialog.kindPicker()->currentIndex(), 0);
    EXPECT_EQ(dialog.minutesField()->value(), 30);
    EXPECT_EQ(dialog.timeField()->time(), QTime(15, 0));
    EXPECT_EQ(dialog.textField()->placeholderText(), QStringLiteral("Drink water"));

    dialog.textField()->setText(QStringLiteral("Drink water"));
    press(dialog, Qt::Key_Escape);
    settle();
    EXPECT_EQ(view().reminderEditor(), nullptr);
    EXPECT_TRUE(settings.reminders().empty());
    EXPECT_TRUE(focus().reminderRows().empty());
}

TEST_F(SettingsWindowTest, SaveFollowsTheTextAndTheIntervalAndReturnSavesOnlyWhenAllowed) {
    focus().addReminderButton()->click();
    ReminderEditorDialog& dialog = editor();
    dialog.textField()->setText(QStringLiteral(" \n "));
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
    press(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Return does nothing while saving is off";

    dialog.textField()->setText(QStringLiteral("  Stretch\n"));
    EXPECT_TRUE(dialog.saveButton()->isEnabled());
    typeAndReturn(*dialog.minutesField(), QStringLiteral("0"));
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
    typeAndReturn(*dialog.minutesField(), QStringLiteral("-5"));
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
    dialog.kindPicker()->button(1)->click();
    EXPECT_TRUE(dialog.saveButton()->isEnabled()) << "any time is accepted daily";
    dialog.kindPicker()->button(0)->click();
    ASSERT_TRUE(dialog.isVisible()) << "Return in the field saves nothing while the interval is not above 0";
    typeAndReturn(*dialog.minutesField(), QStringLiteral("2000"));
    settle();
    ASSERT_EQ(settings.reminders().size(), 1U);
    EXPECT_EQ(settings.reminders()[0].text, "Stretch");
    EXPECT_EQ(settings.reminders()[0].schedule, Schedule::every(2000));
    EXPECT_EQ(view().reminderEditor(), nullptr);
}

TEST_F(SettingsWindowTest, TheReminderIntervalCountsOnceTypedInFull) {
    focus().addReminderButton()->click();
    ReminderEditorDialog& dialog = editor();
    dialog.textField()->setText(QStringLiteral("Stretch"));
    BoundedStepSpinBox& field = *dialog.minutesField();

    clear(field);
    leave(field);
    EXPECT_EQ(field.text().toStdString(), "30") << "an emptied field brings the interval back";
    EXPECT_TRUE(dialog.saveButton()->isEnabled());

    clear(field);
    QTest::keyClicks(&field, QStringLiteral("0"));
    EXPECT_EQ(dialog.state().minutes, 30) << "0 may be the start of 05";
    EXPECT_TRUE(dialog.saveButton()->isEnabled());
    runOut(*field.typingPause());
    EXPECT_EQ(dialog.state().minutes, 0);
    EXPECT_FALSE(dialog.saveButton()->isEnabled());

    QTest::keyClicks(&field, QStringLiteral("5"));
    QTest::keyClick(&field, Qt::Key_Up);
    EXPECT_EQ(dialog.state().minutes, 10) << "the arrow steps from the 5 typed";
    EXPECT_TRUE(dialog.saveButton()->isEnabled());

    clear(field);
    QTest::keyClicks(&field, QString(20, u'7'));
    QTest::keyClick(&field, Qt::Key_Return);
    settle();
    ASSERT_EQ(settings.reminders().size(), 1U);
    EXPECT_EQ(settings.reminders()[0].schedule, Schedule::every(99999))
        << "a number past the field is clamped";
}

TEST_F(SettingsWindowTest, SavingAnEditedReminderReplacesItInPlaceStillSwitchedOff) {
    settings.setReminders({water, posture, call});
    focus().reminderRows()[1]->editButton()->click();
    ReminderEditorDialog& dialog = editor();
    EXPECT_EQ(dialog.textField()->text(), QStringLiteral("Sit up straight"));
    dialog.kindPicker()->button(1)->click();
    dialog.timeField()->setTime(QTime(7, 45));
    dialog.saveButton()->click();
    settle();

    ASSERT_EQ(settings.reminders().size(), 3U);
    const Reminder& saved = settings.reminders()[1];
    EXPECT_EQ(saved.id, posture.id);
    EXPECT_EQ(saved.schedule, Schedule::daily(7, 45));
    EXPECT_FALSE(saved.isEnabled);
    EXPECT_EQ(settings.reminders()[2], call);
    ASSERT_EQ(focus().reminderRows().size(), 3U);
    EXPECT_EQ(focus().reminderRows()[1]->summaryLabel()->text().toStdString(),
              Copy::scheduleSummary(Schedule::daily(7, 45)));
}

TEST_F(SettingsWindowTest, RowSwitchAndTrashWriteAtOnce) {
    settings.setReminders({water, call});
    ReminderRow& first = *focus().reminderRows()[0];
    EXPECT_EQ(first.textLabel()->text(), QStringLiteral("Drink water"));
    EXPECT_EQ(first.textLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(first.summaryLabel()->text(), QStringLiteral("Every 30 min while you're at the computer"));
    EXPECT_EQ(first.deleteButton()->toolTip(), QStringLiteral("Delete"));
    EXPECT_EQ(first.deleteButton()->accessibleName(), QStringLiteral("Delete Drink water"));

    first.enabledSwitch()->click();
    settle();
    Reminder off = water;
    off.isEnabled = false;
    EXPECT_EQ(settings.reminders(), (std::vector<Reminder>{off, call}));
    EXPECT_FALSE(focus().reminderRows()[0]->enabledSwitch()->isChecked());

    const QPointer<QWidget> deleted = focus().reminderRows()[0];
    focus().reminderRows()[0]->deleteButton()->click();
    settle();
    EXPECT_TRUE(deleted.isNull()) << "the deleted row is gone";
    EXPECT_EQ(settings.reminders(), std::vector<Reminder>{call});
    ASSERT_EQ(focus().reminderRows().size(), 1U);
    EXPECT_EQ(focus().reminderRows()[0]->reminder(), call);
}

TEST_F(SettingsWindowTest, AReminderTextCannotDisguiseItselfOrTheLine) {
    EXPECT_EQ(PlainText::shown(std::string("Pay\u202Egnp.exe\nnow\t!")),
              QString::fromUtf8("Paygnp.exe\uFFFDnow\uFFFD!"));
    EXPECT_EQ(PlainText::shown(std::string("<b>bold</b> & \u2066x\u2069")), QStringLiteral("<b>bold</b> & x"));

    settings.setReminders({reminder("44444444-4444-4444-8444-444444444444", "<b>bold</b>", Schedule::every(5))});
    const ReminderRow& row = *focus().reminderRows()[0];
    EXPECT_EQ(row.textLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(row.textLabel()->text(), QStringLiteral("<b>bold</b>"));
}

// The text is the switch's label, as a checkbox's own text is: all of it shows, wrapped, and a click on
// it switches.
TEST_F(SettingsWindowTest, ARowsTextWrapsWholeAndSwitchesItsReminder) {
    const std::string text =
        "Stand up, stretch both arms over your head, roll your shoulders, drink a glass of "
        "water and look out of the window for a while";
    const Reminder stretch = reminder("55555555-5555-4555-8555-555555555555", text, Schedule::every(60));
    settings.setReminders({stretch});
    view().tabs()->setCurrentIndex(1);
    settle();
    ReminderRow& row = *focus().reminderRows()[0];
    QLabel& label = *row.textLabel();
    EXPECT_EQ(label.text().toStdString(), text);
    EXPECT_TRUE(label.wordWrap());
    EXPECT_GT(label.height(), 2 * label.fontMetrics().lineSpacing()) << "three lines or more, none cut";
    EXPECT_LE(row.mapTo(row.window(), QPoint(row.width(), 0)).x(), row.window()->width());

    const QPoint centre = label.mapTo(&row, label.rect().center());
    QWidget* under = row.childAt(centre);
    ASSERT_NE(under, nullptr);
    const QPointF at = under->mapFrom(&row, centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, under->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(under, &event);
    }
    settle();
    ASSERT_EQ(settings.reminders().size(), 1U);
    EXPECT_FALSE(settings.reminders()[0].isEnabled);
    EXPECT_EQ(settings.reminders()[0].text, text);
}

// Renders the window as the user sees it, and keeps the pictures when HALVRICK_SHOTS names a folder.
class SettingsShotsTest : public SettingsWindowTest {
protected:
    QImage shot(QWidget& widget, const char* name) {
        settle();
        const QImage image = widget.grab().toImage();
        if (const QByteArray folder = qgetenv("HALVRICK_SHOTS"); !folder.isEmpty()) {
            QDir().mkpath(QString::fromLocal8Bit(folder));
            image.save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(name) + ".png"));
        }
        return image;
    }

    static int distinctColours(const QImage& image) {
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                colours.insert(image.pixel(x, y));
            }
        }
        return static_cast<int>(colours.size());
    }
};

TEST_F(SettingsShotsTest, PanesEditorAndConfirmationDrawTheirContent) {
    controller.show();
    QWidget& window = *controller.window();
    const QImage general = shot(window, "general");
    EXPECT_EQ(general.size() / general.devicePixelRatio(),
              QSize(SettingsView::width, SettingsView::height).boundedTo(WindowShell::room(window)));
    EXPECT_GT(distinctColours(general), 4);

    loginItem.refusal = "Could not write the autostart entry: Permission denied";
    view().generalPane()->loginSwitch()->click();
    view().generalPane()->notificationsSwitch()->click();
    notifier.answer(false);
    EXPECT_GT(distinctColours(shot(window, "general-refused")), 4);

    view().tabs()->setCurrentIndex(1);
    EXPECT_GT(distinctColours(shot(window, "focus-empty")), 4);
    settings.setReminders({water, posture, call});
    EXPECT_GT(distinctColours(shot(window, "focus-reminders")), 4);

    focus().reminderRows()[0]->editButton()->click();
    EXPECT_GT(distinctColours(shot(editor(), "editor-every")), 4);
    editor().reject();
    settle();
    focus().reminderRows()[2]->editButton()->click();
    EXPECT_GT(distinctColours(shot(editor(), "editor-daily")), 4);
    editor().reject();
    settle();

    view().confirmReset();
    EXPECT_GT(distinctColours(shot(*view().resetConfirmation(), "reset-confirmation")), 4);
    view().resetConfirmation()->reject();
}

// Whatever the reminder's length, its row shows the first lines of it in full, a word too long for the line
// broken inside it, the last line ending in "…" when more is left; the text never runs under the buttons.
TEST_F(SettingsShotsTest, ARowShowsTheFirstLinesOfAnyTextWithinItsRoom) {
    std::string words;
    while (words.size() < 500) {
        words += "stand up and walk to the window and back ";
    }
    struct Case {
        const char* name;
        std::string text;
        bool cut;
    };
    const Case cases[] = {
        {"one-word", std::string(500, 'x'), true},
        {"words", words.substr(0, 500), true},
        {"short", "Drink water", false},
        {"long-word", "Read " + std::string(60, 'w') + " then rest", false},
        {"mixed", "Café ✓ at 12:30: tea & <b>biscuits</b> 🍪, Grüße", false},
    };
    controller.show();
    view().tabs()->setCurrentIndex(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.setReminders(
            {reminder("66666666-6666-4666-8666-666666666666", c.text, Schedule::every(20))});
        QWidget& window = *controller.window();
        const QImage image = shot(window, (std::string("focus-reminder-") + c.name).c_str());
        const ReminderRow& row = *focus().reminderRows()[0];
        const WrappedLabel& label = *row.textLabel();
        EXPECT_EQ(label.text(), PlainText::shown(c.text)) << "the whole text, for the editor and the reader";
        EXPECT_GE(label.height(), label.heightForWidth(label.width())) << "no line cut through";
        EXPECT_LE(label.height(), 3 * label.fontMetrics().lineSpacing());
        const std::vector<WrappedLabel::Line> lines = label.shownLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().text.endsWith(QStringLiteral("…")), c.cut) << lines.back().text.toStdString();
        for (const WrappedLabel::Line& line : lines) {
            EXPECT_TRUE(QRectF(label.rect()).contains(line.rect)) << line.text.toStdString();
        }
        const QRect text(label.mapTo(&window, QPoint(0, 0)), label.size());
        EXPECT_LT(text.right(), row.editButton()->mapTo(&window, QPoint(0, 0)).x());
        EXPECT_LE(row.deleteButton()->mapTo(&window, QPoint(row.deleteButton()->width(), 0)).x(),
                  window.width());
        EXPECT_LE(label.minimumSizeHint().width(), label.width())
            << "the text needs no more width than it has";
        // No stroke runs into the label's last pixel column, as one cut at the edge does; a glyph that ends
        // there may still tint it.
        const qreal scale = image.devicePixelRatio();
        const int edge = static_cast<int>((text.right() + 1) * scale) - 1;
        const int background = qGray(image.pixel(edge, static_cast<int>((text.top() - 1) * scale)));
        for (int y = static_cast<int>(text.top() * scale); y < (text.bottom() + 1) * scale; ++y) {
            ASSERT_LT(std::abs(qGray(image.pixel(edge, y)) - background), 100)
                << "a stroke at " << edge << "," << y;
        }
    }
}

// In a dark palette, set before the window is built, with a reminder text that is long and tries markup.
TEST_F(SettingsShotsTest, TheFocusPaneInTheDarkWithAHostileReminder) {
    const DarkPalette dark;
    settings.setReminders({reminder("55555555-5555-4555-8555-555555555555",
                                    "<b>Stand</b> up\u202E and stretch your legs, drink some water, look out of the "
                                    "window for a while and then come back",
                                    Schedule::every(5))});
    controller.show();
    QWidget& window = *controller.window();
    EXPECT_GT(distinctColours(shot(window, "dark-general")), 4);
    view().tabs()->setCurrentIndex(1);
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
    EXPECT_GT(distinctColours(shot(window, "dark-focus")), 4);
}

} // namespace
} // namespace halvrick
