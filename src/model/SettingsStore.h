#pragma once

#include "core/Personality.h"
#include "core/QuietHours.h"
#include "core/Reminder.h"
#include "core/Uuid.h"
#include "model/Defaults.h"
#include "model/MenuBarDisplay.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <vector>

namespace halvrick {

// The user's preferences, one defaults key each, named after the property. A key that is missing or
// holds another type reads as the default. Every assignment, even of the value already set, announces
// the value and then writes that one key, so the keys another writer changed meanwhile stay as they are.
// Numbers are kept as given and read within their ranges, so whatever shows a setting shows the value
// that is used.
class SettingsStore : public QObject {
    Q_OBJECT

public:
    static constexpr std::int64_t restIntervalMinimum = 1;
    static constexpr std::int64_t restIntervalMaximum = 480;
    static constexpr std::int64_t lastMinuteOfDay = 24 * 60 - 1;

    // The nearest value in range.
    static std::int64_t saneRestInterval(std::int64_t minutes);
    static std::int64_t saneMinuteOfDay(std::int64_t minute);

    // Every setting as stored. The table of settings beside the store gives each its key and default.
    struct Values {
        bool restEnabled{};
        std::int64_t restIntervalMinutes{};
        bool quietHoursEnabled{};
        std::int64_t quietStartMinute{};
        std::int64_t quietEndMinute{};
        bool headsUpEnabled{};
        std::vector<Reminder> reminders;
        bool notificationsEnabled{};
        bool hasCompletedFirstRun{};
        bool menuBarMonochrome{};
        Personality personality{};
        bool soundsEnabled{};
        bool notchPeekEnabled{};
        bool heatBreakEnabled{};
        MenuBarDisplay menuBarDisplay{};
        bool endOfDayEnabled{};
        std::int64_t endOfDayMinute{};
    };

    // Loads every setting; writes nothing.
    explicit SettingsStore(Defaults& defaults, QObject* parent = nullptr);

    bool restEnabled() const { return values_.restEnabled; }
    void setRestEnabled(bool value) { assign(&Values::restEnabled, value); }
    std::int64_t restIntervalMinutes() const { return saneRestInterval(values_.restIntervalMinutes); }
    void setRestIntervalMinutes(std::int64_t value) { assign(&Values::restIntervalMinutes, value); }
    bool quietHoursEnabled() const { return values_.quietHoursEnabled; }
    void setQuietHoursEnabled(bool value) { assign(&Values::quietHoursEnabled, value); }
    // Minutes of the day.
    std::int64_t quietStartMinute() const { return saneMinuteOfDay(values_.quietStartMinute); }
    void setQuietStartMinute(std::int64_t value) { assign(&Values::quietStartMinute, value); }
    std::int64_t quietEndMinute() const { return saneMinuteOfDay(values_.quietEndMinute); }
    void setQuietEndMinute(std::int64_t value) { assign(&Values::quietEndMinute, value); }
    bool headsUpEnabled() const { return values_.headsUpEnabled; }
    void setHeadsUpEnabled(bool value) { assign(&Values::headsUpEnabled, value); }
    // Each with the nearest valid schedule.
    const std::vector<Reminder>& reminders() const { return saneReminders_; }
    void setReminders(std::vector<Reminder> value) { assign(&Values::reminders, std::move(value)); }
    bool notificationsEnabled() const { return values_.notificationsEnabled; }
    void setNotificationsEnabled(bool value) { assign(&Values::notificationsEnabled, value); }
    bool hasCompletedFirstRun() const { return values_.hasCompletedFirstRun; }
    void setHasCompletedFirstRun(bool value) { assign(&Values::hasCompletedFirstRun, value); }
    bool menuBarMonochrome() const { return values_.menuBarMonochrome; }
    void setMenuBarMonochrome(bool value) { assign(&Values::menuBarMonochrome, value); }
    Personality personality() const { return values_.personality; }
    void setPersonality(Personality value) { assign(&Values::personality, value); }
    bool soundsEnabled() const { return values_.soundsEnabled; }
    void setSoundsEnabled(bool value) { assign(&Values::soundsEnabled, value); }
    bool notchPeekEnabled() const { return values_.notchPeekEnabled; }
    void setNotchPeekEnabled(bool value) { assign(&Values::notchPeekEnabled, value); }
    bool heatBreakEnabled() const { return values_.heatBreakEnabled; }
    void setHeatBreakEnabled(bool value) { assign(&Values::heatBreakEnabled, value); }
    MenuBarDisplay menuBarDisplay() const { return values_.menuBarDisplay; }
    void setMenuBarDisplay(MenuBarDisplay value) { assign(&Values::menuBarDisplay, value); }
    bool endOfDayEnabled() const { return values_.endOfDayEnabled; }
    void setEndOfDayEnabled(bool value) { assign(&Values::endOfDayEnabled, value); }
    // Minute of the day.
    std::int64_t endOfDayMinute() const { return saneMinuteOfDay(values_.endOfDayMinute); }
    void setEndOfDayMinute(std::int64_t value) { assign(&Values::endOfDayMinute, value); }

    // The quiet period while it is switched on.
    std::optional<QuietHours> quietHours() const;

    // Replaces the reminder with the same id where it stands, or adds it at the end; the others keep
    // their schedules as stored.
    void upsert(const Reminder& reminder);
    // Removes every reminder with that id.
    void deleteReminder(const Uuid& id);

signals:
    void restEnabledChanged(bool value);
    void restIntervalMinutesChanged(std::int64_t value);
    void quietHoursEnabledChanged(bool value);
    void quietStartMinuteChanged(std::int64_t value);
    void quietEndMinuteChanged(std::int64_t value);
    void headsUpEnabledChanged(bool value);
    void remindersChanged();
    void notificationsEnabledChanged(bool value);
    void hasCompletedFirstRunChanged(bool value);
    void menuBarMonochromeChanged(bool value);
    void personalityChanged(halvrick::Personality value);
    void soundsEnabledChanged(bool value);
    void notchPeekEnabledChanged(bool value);
    void heatBreakEnabledChanged(bool value);
    void menuBarDisplayChanged(halvrick::MenuBarDisplay value);
    void endOfDayEnabledChanged(bool value);
    void endOfDayMinuteChanged(std::int64_t value);
    // Any setting was assigned: after its own signal, before its key is written.
    void changed();

private:
    // Keeps the value as given, announces it as it reads, then writes its key. Instantiated for each
    // stored type.
    template <typename T> void assign(T Values::*field, T value);

    Defaults& defaults_;
    Values values_;
    // The stored reminders as handed out.
    std::vector<Reminder> saneReminders_;
};

} // namespace halvrick
