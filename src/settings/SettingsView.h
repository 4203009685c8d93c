#pragma once

#include "sampling/AppIdentity.h"
#include "settings/SettingsBindings.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QMessageBox;
class QTabWidget;

namespace halvrick {

class FocusPane;
class GeneralPane;
class ReminderEditorDialog;
struct Reminder;

// The content of the settings window: the General and Focus tabs, the reset confirmation and the
// reminder editor, both modal to the window. Made once with the window and kept with it, so what it
// holds (a login error, a refused permission) outlives closing the window.
class SettingsView : public QWidget {
public:
    static constexpr int width = 520;
    static constexpr int height = 620;

    SettingsView(SettingsStore& settings, NotificationService& notifier, LoginItemService& loginItem,
                 AppIdentity identity, std::function<void()> onResetStats, std::function<void()> openHistory,
                 QWidget* parent = nullptr);

    // The designed size; the window takes less where the screen is smaller, and the tabs scroll.
    QSize sizeHint() const override;

    SettingsBindings& bindings() { return bindings_; }
    QTabWidget* tabs() const { return tabs_; }
    GeneralPane* generalPane() const { return general_; }
    FocusPane* focusPane() const { return focus_; }

    // Asks before the stats go; only "Reset" calls onResetStats.
    void confirmReset();
    // Opens the editor on the reminder; saving stores it in place or at the end of the list.
    void editReminder(const Reminder& reminder);
    // None while nothing is asked or edited.
    QMessageBox* resetConfirmation() const;
    ReminderEditorDialog* reminderEditor() const;

protected:
    // Each time the window comes on screen the login item and the notification server are read afresh.
    void showEvent(QShowEvent* event) override;

private:
    SettingsBindings bindings_;
    std::function<void()> onResetStats_;
    QTabWidget* tabs_;
    GeneralPane* general_;
    FocusPane* focus_;
    QPointer<QMessageBox> confirmation_;
    QPointer<ReminderEditorDialog> editor_;
};

} // namespace halvrick
