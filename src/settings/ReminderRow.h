#pragma once

#include "core/Reminder.h"
#include "ui/WrappedLabel.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace halvrick {

class SettingsStore;

// One reminder in the Focus pane: its switch, labelled by the first lines of the reminder's text and its
// schedule, "Edit" and delete. The switch (or a click on its label) and delete write to
// the store at once.
class ReminderRow : public QWidget {
public:
    ReminderRow(Reminder reminder, SettingsStore& settings, std::function<void()> onEdit,
                QWidget* parent = nullptr);

    const Reminder& reminder() const { return reminder_; }
    QCheckBox* enabledSwitch() const { return enabled_; }
    WrappedLabel* textLabel() const { return text_; }
    QLabel* summaryLabel() const { return summary_; }
    QPushButton* editButton() const { return edit_; }
    QToolButton* deleteButton() const { return delete_; }

private:
    Reminder reminder_;
    QCheckBox* enabled_;
    WrappedLabel* text_;
    QLabel* summary_;
    QPushButton* edit_;
    QToolButton* delete_;
};

} // namespace halvrick
