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
// the value and then saves all settings in one write. Numbers are kept as given and read within their
// ranges, so whatever shows a setting shows the value that is used.
class SettingsStore : public QObject {
    Q_OBJECT

public:
    static constexpr std::int64_t restIntervalMinimum = 1;
    static constexpr std::int64_t restIntervalMaximum = 480;
    static constexpr std::int64_t lastMinuteOfDay = 24 * 60 - 1;

    // The nearest value in range.
    static std::int64_t saneRestInterval(std::int64_t minutes);
    static std::int64_t saneMinuteOfDay(std::int64_t minute);

    // Loads every setting; writes nothing.
    explicit SettingsStore(Defaults& defaults, QObject* parent = nullptr);

    bool restEnabled() const { return restEnabled_; }
    std::int64_t restIntervalMinutes() const { return saneRestInterval(restIntervalMinutes_); }
    bool quietHoursEnabled() const { return quietHoursEnabled_; }
    // Minutes of the day.
    std::int64_t quietStartMinute() const { return saneMinuteOfDay(quietStartMinute_); }
    std::int64_t quietEndMinute() const { return saneMinuteOfDay(quietEndMinute_); }
    bool headsUpEnabled() const { return headsUpEnabled_; }
    // Each with the nearest valid schedule.
    const std::vector<Reminder>& reminders() const { return saneReminders_; }
    bool notificationsEnabled() const { return notificationsEnabled_; }
    bool hasCompletedFirstRun() const { return hasCompletedFirstRun_; }
    bool menuBarMonochrome() const { return menuBarMonochrome_; }
    Personality personality() const { return personality_; }
    bool soundsEnabled() const { return soundsEnabled_; }
    bool notchPeekEnabled() const { return notchPeekEnabled_; }
    bool heatBreakEnabled() const { return heatBreakEnabled_; }
    MenuBarDisplay menuBarDisplay() const { return menuBarDisplay_; }
    bool endOfDayEnabled() const { return endOfDayEnabled_; }
    // Minute of the day.
    std::int64_t endOfDayMinute() const { return saneMinuteOfDay(endOfDayMinute_); }

    void setRestEnabled(bool value);
    void setRestIntervalMinutes(std::int64_t value);
    void setQuietHoursEnabled(bool value);
    void setQuietStartMinute(std::int64_t value);
    void setQuietEndMinute(std::int64_t value);
    void setHeadsUpEnabled(bool value);
    void setReminders(std::vector<Reminder> value);
    void setNotificationsEnabled(bool value);
    void setHasCompletedFirstRun(bool value);
    void setMenuBarMonochrome(bool value);
    void setPersonality(Personality value);
    void setSoundsEnabled(bool value);
    void setNotchPeekEnabled(bool value);
    void setHeatBreakEnabled(bool value);
    void setMenuBarDisplay(MenuBarDisplay value);
    void setEndOfDayEnabled(bool value);
    void setEndOfDayMinute(std::int64_t value);

    // The quiet period while it is switched on.
    std::optional<QuietHours> quietHours() const;

    // Replaces the reminder with the same id where it stands, or adds it at the end; the others keep
    // their schedules as stored.
    void upsert(const Reminder& reminder);
    // Removes every reminder with that id.
    void deleteReminder(const Uuid& id);

    // Writes every setting, reminders last.
    void save();

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

private:
    // Announces the value, then saves.
    template <typename T> void assign(T& field, T value, void (SettingsStore::*changed)(T));
    // Announces the number as it is read, within its range, then saves the number as given.
    void assignNumber(std::int64_t& field, std::int64_t value, void (SettingsStore::*changed)(std::int64_t),
                      std::int64_t (SettingsStore::*read)() const);

    Defaults& defaults_;
    bool restEnabled_;
    std::int64_t restIntervalMinutes_;
    bool quietHoursEnabled_;
    std::int64_t quietStartMinute_;
    std::int64_t quietEndMinute_;
    bool headsUpEnabled_;
    // As stored, and as handed out.
    std::vector<Reminder> reminders_;
    std::vector<Reminder> saneReminders_;
    bool notificationsEnabled_;
    bool hasCompletedFirstRun_;
    bool menuBarMonochrome_;
    Personality personality_;
    bool soundsEnabled_;
    bool notchPeekEnabled_;
    bool heatBreakEnabled_;
    MenuBarDisplay menuBarDisplay_;
    bool endOfDayEnabled_;
    std::int64_t endOfDayMinute_;
};

} // namespace halvrick
