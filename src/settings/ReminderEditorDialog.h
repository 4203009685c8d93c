#pragma once

#include "core/ReminderEditorState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimeEdit;

namespace halvrick {

class BoundedStepSpinBox;
class SegmentedControl;

// The dialog in which a reminder gets its text and schedule. It stores nothing: whoever opened it takes
// `built()` when it is accepted. Return saves (only while saving is allowed), Escape cancels.
class ReminderEditorDialog : public QDialog {
public:
    ReminderEditorDialog(const Reminder& reminder, QWidget* parent = nullptr);

    const ReminderEditorState& state() const { return state_; }
    Reminder built() const { return halvrick::built(state_); }

    QLineEdit* textField() const { return text_; }
    SegmentedControl* kindPicker() const { return kind_; }
    BoundedStepSpinBox* minutesField() const { return minutes_; }
    QTimeEdit* timeField() const { return time_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    void showKind();

    ReminderEditorState state_;
    QLineEdit* text_;
    SegmentedControl* kind_;
    QStackedWidget* schedule_;
    BoundedStepSpinBox* minutes_;
    QTimeEdit* time_;
    QPushButton* save_;
    QPushButton* cancel_;
};

} // namespace halvrick
