#include "model/SettingsStore.h"

#include "core/Error.h"
#include "core/JsonCoding.h"

#include <algorithm>
#include <string>
#include <utility>

namespace halvrick {

namespace {

const std::string restEnabledKey = "restEnabled";
const std::string restIntervalMinutesKey = "restIntervalMinutes";
const std::string quietHoursEnabledKey = "quietHoursEnabled";
const std::string quietStartMinuteKey = "quietStartMinute";
const std::string quietEndMinuteKey = "quietEndMinute";
const std::string headsUpEnabledKey = "headsUpEnabled";
const std::string remindersKey = "reminders";
const std::string notificationsEnabledKey = "notificationsEnabled";
const std::string hasCompletedFirstRunKey = "hasCompletedFirstRun";
const std::string menuBarMonochromeKey = "menuBarMonochrome";
const std::string personalityKey = "personality";
const std::string soundsEnabledKey = "soundsEnabled";
const std::string notchPeekEnabledKey = "notchPeekEnabled";
const std::string heatBreakEnabledKey = "heatBreakEnabled";
const std::string menuBarDisplayKey = "menuBarDisplay";
const std::string endOfDayEnabledKey = "endOfDayEnabled";
const std::string endOfDayMinuteKey = "endOfDayMinute";

// Any flaw in the stored list, down to one bad reminder, drops the whole list.
std::vector<Reminder> decodeReminders(const std::optional<QByteArray>& data) {
    if (!data) {
        return {};
    }
    try {
        const json::Json list =
            json::parse(std::string_view(data->constData(), static_cast<std::size_t>(data->size())));
        if (!list.is_array()) {
            return {};
        }
        std::vector<Reminder> reminders;
        for (const json::Json& item : list) {
            reminders.push_back(Reminder::fromJson(item));
        }
        return reminders;
    } catch (const Error&) {
        return {};
    }
}

std::vector<Reminder> withValidSchedules(std::vector<Reminder> reminders) {
    for (Reminder& reminder : reminders) {
        reminder.schedule = reminder.schedule.nearestValid();
    }
    return reminders;
}

QByteArray encodeReminders(const std::vector<Reminder>& reminders) {
    json::Json list = json::Json::array();
    for (const Reminder& reminder : reminders) {
        list.push_back(reminder.toJson());
    }
    return QByteArray::fromStdString(list.dump());
}

} // namespace

SettingsStore::SettingsStore(Defaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), restEnabled_(defaults.getBool(restEnabledKey).value_or(true)),
      restIntervalMinutes_(defaults.getInt(restIntervalMinutesKey).value_or(60)),
      quietHoursEnabled_(defaults.getBool(quietHoursEnabledKey).value_or(false)),
      quietStartMinute_(defaults.getInt(quietStartMinuteKey).value_or(1320)),
      quietEndMinute_(defaults.getInt(quietEndMinuteKey).value_or(480)),
      headsUpEnabled_(defaults.getBool(headsUpEnabledKey).value_or(true)),
      notificationsEnabled_(defaults.getBool(notificationsEnabledKey).value_or(false)),
      hasCompletedFirstRun_(defaults.getBool(hasCompletedFirstRunKey).value_or(false)),
      menuBarMonochrome_(defaults.getBool(menuBarMonochromeKey).value_or(false)),
      personality_(
          personalityFromString(defaults.getString(personalityKey).value_or("")).value_or(Personality::mild)),
      soundsEnabled_(defaults.getBool(soundsEnabledKey).value_or(false)),
      notchPeekEnabled_(defaults.getBool(notchPeekEnabledKey).value_or(true)),
      heatBreakEnabled_(defaults.getBool(heatBreakEnabledKey).value_or(true)),
      menuBarDisplay_(menuBarDisplayFromString(defaults.getString(menuBarDisplayKey).value_or(""))
                          .value_or(MenuBarDisplay::face)),
      endOfDayEnabled_(defaults.getBool(endOfDayEnabledKey).value_or(false)),
      endOfDayMinute_(defaults.getInt(endOfDayMinuteKey).value_or(1110)) {
    reminders_ = decodeReminders(defaults.getData(remindersKey));
    saneReminders_ = withValidSchedules(reminders_);
}

std::int64_t SettingsStore::saneRestInterval(std::int64_t minutes) {
    return std::clamp(minutes, restIntervalMinimum, restIntervalMaximum);
}

std::int64_t SettingsStore::saneMinuteOfDay(std::int64_t minute) {
    return std::clamp<std::int64_t>(minute, 0, lastMinuteOfDay);
}

template <typename T> void SettingsStore::assign(T& field, T value, void (SettingsStore::*changed)(T)) {
    field = std::move(value);
    emit(this->*changed)(field);
    save();
}

void SettingsStore::assignNumber(std::int64_t& field, std::int64_t value,
                                 void (SettingsStore::*changed)(std::int64_t),
                                 std::int64_t (SettingsStore::*read)() const) {
    field = value;
    emit(this->*changed)((this->*read)());
    save();
}

void SettingsStore::setRestEnabled(bool value) {
    assign(restEnabled_, value, &SettingsStore::restEnabledChanged);
}

void SettingsStore::setRestIntervalMinutes(std::int64_t value) {
    assignNumber(restIntervalMinutes_, value, &SettingsStore::restIntervalMinutesChanged,
                 &SettingsStore::restIntervalMinutes);
}

void SettingsStore::setQuietHoursEnabled(bool value) {
    assign(quietHoursEnabled_, value, &SettingsStore::quietHoursEnabledChanged);
}

void SettingsStore::setQuietStartMinute(std::int64_t value) {
    assignNumber(quietStartMinute_, value, &SettingsStore::quietStartMinuteChanged,
                 &SettingsStore::quietStartMinute);
}

void SettingsStore::setQuietEndMinute(std::int64_t value) {
    assignNumber(quietEndMinute_, value, &SettingsStore::quietEndMinuteChanged,
                 &SettingsStore::quietEndMinute);
}

void SettingsStore::setHeadsUpEnabled(bool value) {
    assign(headsUpEnabled_, value, &SettingsStore::headsUpEnabledChanged);
}

void SettingsStore::setReminders(std::vector<Reminder> value) {
    reminders_ = std::move(value);
    saneReminders_ = withValidSchedules(reminders_);
    emit remindersChanged();
    save();
}

void SettingsStore::setNotificationsEnabled(bool value) {
    assign(notificationsEnabled_, value, &SettingsStore::notificationsEnabledChanged);
}

void SettingsStore::setHasCompletedFirstRun(bool value) {
    assign(hasCompletedFirstRun_, value, &SettingsStore::hasCompletedFirstRunChanged);
}

void SettingsStore::setMenuBarMonochrome(bool value) {
    assign(menuBarMonochrome_, value, &SettingsStore::menuBarMonochromeChanged);
}

void SettingsStore::setPersonality(Personality value) {
    assign(personality_, value, &SettingsStore::personalityChanged);
}

void SettingsStore::setSoundsEnabled(bool value) {
    assign(soundsEnabled_, value, &SettingsStore::soundsEnabledChanged);
}

void SettingsStore::setNotchPeekEnabled(bool value) {
    assign(notchPeekEnabled_, value, &SettingsStore::notchPeekEnabledChanged);
}

void SettingsStore::setHeatBreakEnabled(bool value) {
    assign(heatBreakEnabled_, value, &SettingsStore::heatBreakEnabledChanged);
}

void SettingsStore::setMenuBarDisplay(MenuBarDisplay value) {
    assign(menuBarDisplay_, value, &SettingsStore::menuBarDisplayChanged);
}

void SettingsStore::setEndOfDayEnabled(bool value) {
    assign(endOfDayEnabled_, value, &SettingsStore::endOfDayEnabledChanged);
}

void SettingsStore::setEndOfDayMinute(std::int64_t value) {
    assignNumber(endOfDayMinute_, value, &SettingsStore::endOfDayMinuteChanged,
                 &SettingsStore::endOfDayMinute);
}

std::optional<QuietHours> SettingsStore::quietHours() const {
    if (!quietHoursEnabled_) {
        return std::nullopt;
    }
    return QuietHours{quietStartMinute(), quietEndMinute()};
}

void SettingsStore::upsert(const Reminder& reminder) {
    std::vector<Reminder> list = reminders_;
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&reminder](const Reminder& r) { return r.id == reminder.id; });
    if (found != list.end()) {
        *found = reminder;
    } else {
        list.push_back(reminder);
    }
    setReminders(std::move(list));
}

void SettingsStore::deleteReminder(const Uuid& id) {
    std::vector<Reminder> list = reminders_;
    std::erase_if(list, [&id](const Reminder& r) { return r.id == id; });
    setReminders(std::move(list));
}

void SettingsStore::save() {
    defaults_.batch([this] {
        defaults_.setBool(restEnabledKey, restEnabled_);
        defaults_.setInt(restIntervalMinutesKey, restIntervalMinutes_);
        defaults_.setBool(quietHoursEnabledKey, quietHoursEnabled_);
        defaults_.setInt(quietStartMinuteKey, quietStartMinute_);
        defaults_.setInt(quietEndMinuteKey, quietEndMinute_);
        defaults_.setBool(headsUpEnabledKey, headsUpEnabled_);
        defaults_.setBool(notificationsEnabledKey, notificationsEnabled_);
        defaults_.setBool(hasCompletedFirstRunKey, hasCompletedFirstRun_);
        defaults_.setBool(menuBarMonochromeKey, menuBarMonochrome_);
        defaults_.setString(personalityKey, std::string(toString(personality_)));
        defaults_.setBool(soundsEnabledKey, soundsEnabled_);
        defaults_.setBool(notchPeekEnabledKey, notchPeekEnabled_);
        defaults_.setBool(heatBreakEnabledKey, heatBreakEnabled_);
        defaults_.setString(menuBarDisplayKey, std::string(toString(menuBarDisplay_)));
        defaults_.setBool(endOfDayEnabledKey, endOfDayEnabled_);
        defaults_.setInt(endOfDayMinuteKey, endOfDayMinute_);
        // Reminder texts are mended to UTF-8 when turned into JSON, so the list always encodes.
        defaults_.setData(remindersKey, encodeReminders(reminders_));
    });
}

} // namespace halvrick
