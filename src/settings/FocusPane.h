#pragma once

#include "core/Reminder.h"

#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimeEdit;
class QVBoxLayout;

namespace halvrick {

class BoundedStepSpinBox;
class ReminderRow;
class SettingsBindings;

// The "Focus" tab: breaks and their interval, the reminders, quiet hours, the evening check and
// heads-ups. Controls that depend on a switch stay visible with their values while it is off. A time
// stored outside the day shows wrapped into it and is written only when the user picks one.
class FocusPane : public QWidget {
public:
    static constexpr std::array<int, 4> presets{30, 45, 60, 90};

    // `editReminder` opens the editor on a stored reminder or on a new, unsaved one.
    FocusPane(SettingsBindings& bindings, std::function<void(const Reminder&)> editReminder,
              QWidget* parent = nullptr);

    QCheckBox* breaksSwitch() const { return breaks_; }
    QWidget* intervalRow() const { return intervalRow_; }
    BoundedStepSpinBox* intervalField() const { return interval_; }
    QPushButton* presetButton(std::size_t index) const { return presetButtons_.at(index); }
    QCheckBox* heatBreakSwitch() const { return heatBreak_; }
    QLabel* remindersBlurb() const { return remindersBlurb_; }
    const std::vector<ReminderRow*>& reminderRows() const { return rows_; }
    QPushButton* addReminderButton() const { return addReminder_; }
    QCheckBox* quietHoursSwitch() const { return quietHours_; }
    QTimeEdit* quietFromField() const { return quietFrom_; }
    QTimeEdit* quietToField() const { return quietTo_; }
    QCheckBox* eveningSwitch() const { return evening_; }
    QTimeEdit* eveningField() const { return eveningAt_; }
    QCheckBox* headsUpSwitch() const { return headsUp_; }

private:
    void sync();
    // Rows are made again from the stored list whenever it changes.
    void syncReminders();

    SettingsBindings& bindings_;
    std::function<void(const Reminder&)> editReminder_;
    QCheckBox* breaks_;
    QWidget* intervalRow_;
    BoundedStepSpinBox* interval_;
    QWidget* presetRow_;
    std::array<QPushButton*, 4> presetButtons_{};
    QCheckBox* heatBreak_;
    QLabel* remindersBlurb_;
    QVBoxLayout* rowsLayout_;
    std::vector<ReminderRow*> rows_;
    QPushButton* addReminder_;
    QCheckBox* quietHours_;
    QTimeEdit* quietFrom_;
    QTimeEdit* quietTo_;
    QCheckBox* evening_;
    QTimeEdit* eveningAt_;
    QCheckBox* headsUp_;
};

} // namespace halvrick
