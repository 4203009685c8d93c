#include "core/ReminderEditorState.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace halvrick {

namespace {

constexpr std::int64_t everyDefaultMinutes = 30;
constexpr int dailyDefaultMinute = 15 * 60;

// The white space and line-break characters of Unicode beyond ASCII, in UTF-8.
constexpr std::array<std::string_view, 19> wideSpaces{
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
    "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
    "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
    "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Bytes of the white space that starts `text`, 0 when it starts with something else.
std::size_t leadingSpace(std::string_view text) {
    if (!text.empty() && isAsciiSpace(text.front())) {
        return 1;
    }
    for (const std::string_view space : wideSpaces) {
        if (text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

std::size_t trailingSpace(std::string_view text) {
    if (!text.empty() && isAsciiSpace(text.back())) {
        return 1;
    }
    for (const std::string_view space : wideSpaces) {
        if (text.ends_with(space)) {
            return space.size();
        }
    }
    return 0;
}

} // namespace

ReminderEditorState ReminderEditorState::editing(const Reminder& reminder) {
    const Reminder::Schedule& schedule = reminder.schedule;
    if (schedule.scheduleCase() == Reminder::Schedule::Case::daily) {
        return {reminder, Kind::daily, everyDefaultMinutes,
                static_cast<int>(schedule.hour() * 60 + schedule.minute())};
    }
    return {reminder, Kind::every, schedule.minutes(), dailyDefaultMinute};
}

bool canSave(const ReminderEditorState& state) {
    if (trimmedText(state.draft.text).empty()) {
        return false;
    }
    return state.kind == ReminderEditorState::Kind::daily || state.minutes > 0;
}

Reminder built(const ReminderEditorState& state) {
    Reminder reminder = state.draft;
    reminder.text = trimmedText(state.draft.text);
    if (state.kind == ReminderEditorState::Kind::daily) {
        reminder.schedule = Reminder::Schedule::daily(state.minuteOfDay / 60, state.minuteOfDay % 60);
    } else {
        reminder.schedule = Reminder::Schedule::every(std::max<std::int64_t>(1, state.minutes));
    }
    return reminder;
}

std::string trimmedText(std::string_view text) {
    while (const std::size_t n = leadingSpace(text)) {
        text.remove_prefix(n);
    }
    while (const std::size_t n = trailingSpace(text)) {
        text.remove_suffix(n);
    }
    return std::string(text);
}

} // namespace halvrick
