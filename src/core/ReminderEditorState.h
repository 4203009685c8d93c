#pragma once

#include "core/Reminder.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace halvrick {

// What the reminder editor holds while it is open. Both schedules keep their values, so switching the
// kind back and forth loses nothing; only the selected kind counts when saving.
struct ReminderEditorState {
    enum class Kind { every, daily };

    // The reminder being edited; its id and on/off state pass through unchanged.
    Reminder draft;
    Kind kind;
    // The every-few-minutes interval as typed, which may be out of range.
    std::int64_t minutes;
    // The daily time, minutes since midnight.
    int minuteOfDay;

    // Opens on the reminder's own schedule; the other kind starts at 30 minutes or at 15:00.
    static ReminderEditorState editing(const Reminder& reminder);
};

// Saving needs a text that is not only whitespace and, every few minutes, an interval above 0.
bool canSave(const ReminderEditorState& state);
// The reminder that saving hands over: the text trimmed, the selected kind's schedule.
Reminder built(const ReminderEditorState& state);

// `text` without white space or line breaks (Unicode's too) at either end.
std::string trimmedText(std::string_view text);

} // namespace halvrick
