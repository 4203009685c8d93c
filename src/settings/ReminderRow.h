#pragma once

#include "core/Reminder.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace halvrick {

class ElidedLabel;
class SettingsStore;

// One reminder in the Focus pane: its switch, its text and schedule, "Edit" and delete. The switch
// and delete write to the store at once.
class ReminderRow : public QWidget {
public:
    ReminderRow(Reminder reminder, SettingsStore& settings, std::function<void()> onEdit,
                QWidget* parent = nullptr);

    const Reminder& reminder() const { return reminder_; }
    QCheckBox* enabledSwitch() const { return enabled_; }
    ElidedLabel* textLabel() const { return text_; }
    QLabel* summaryLabel() const { return summary_; }
    QPushButton* editButton() const { return edit_; }
    QToolButton* deleteButton() const { return delete_; }


private:
    Reminder reminder_;
    QCheckBox* enabled_;
    ElidedLabel* text_;
    QLabel* summary_;
    QPushButton* edit_;
    QToolButton* delete_;
};

} // namespace halvrick
