#include "model/SettingsStore.h"

#include "core/Error.h"
#include "core/JsonCoding.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace halvrick {

namespace {

using Values = SettingsStore::Values;

// Any flaw in the stored list, down to one bad reminder, drops the whole list.
std::optional<std::vector<Reminder>> decodeReminders(const std::optional<QByteArray>& data) {
    if (!data) {
        return std::nullopt;
    }
    try {
        const json::Json list =
            json::parse(std::string_view(data->constData(), static_cast<std::size_t>(data->size())));
        if (!list.is_array()) {
            return std::nullopt;
        }
        std::vector<Reminder> reminders;
        for (const json::Json& item : list) {
            reminders.push_back(Reminder::fromJson(item));
        }
        return reminders;
    } catch (const Error&) {
        return std::nullopt;
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

// How a value of each type is kept in the defaults; none read means missing or of another type.
template <typename T> struct Stored;

template <> struct Stored<bool> {
    static std::optional<bool> read(const Defaults& defaults, std::string_view key) {
        return defaults.getBool(key);
    }
    static void write(Defaults& defaults, const std::string& key, bool value) {
        defaults.setBool(key, value);
    }
};

template <> struct Stored<std::int64_t> {
    static std::optional<std::int64_t> read(const Defaults& defaults, std::string_view key) {
        return defaults.getInt(key);
    }
    static void write(Defaults& defaults, const std::string& key, std::int64_t value) {
        defaults.setInt(key, value);
    }
};

// An enumeration by its raw value.
template <typename T, std::optional<T> (*fromString)(std::string_view)> struct StoredRawValue {
    static std::optional<T> read(const Defaults& defaults, std::string_view key) {
        const std::optional<std::string> raw = defaults.getString(key);
        return raw ? fromString(*raw) : std::nullopt;
    }
    static void write(Defaults& defaults, const std::string& key, T value) {
        defaults.setString(key, std::string(toString(value)));
    }
};

template <> struct Stored<Personality> : StoredRawValue<Personality, personalityFromString> {};
template <> struct Stored<MenuBarDisplay> : StoredRawValue<MenuBarDisplay, menuBarDisplayFromString> {};

// The JSON of the list, as data.
template <> struct Stored<std::vector<Reminder>> {
    static std::optional<std::vector<Reminder>> read(const Defaults& defaults, std::string_view key) {
        return decodeReminders(defaults.getData(key));
    }
    // Reminder texts are mended to UTF-8 when turned into JSON, so the list always encodes.
    static void write(Defaults& defaults, const std::string& key, const std::vector<Reminder>& value) {
        defaults.setData(key, encodeReminders(value));
    }
};

// One setting: its key, the value a missing or unreadable key reads as, where the store keeps it, how
// the store reads it out and the signal that announces it.
template <typename T, typename Read, typename Signal> struct Setting {
    std::string_view key;
    T fallback;
    T Values::*field;
    Read read;
    Signal announce;
};

// Every setting the store keeps. A new one needs an entry here, and its field, accessors and signal.
const auto& settingsTable() {
    using S = SettingsStore;
    static const std::tuple table{
        Setting{"restEnabled", true, &Values::restEnabled, &S::restEnabled, &S::restEnabledChanged},
        Setting{"restIntervalMinutes", std::int64_t{60}, &Values::restIntervalMinutes,
                &S::restIntervalMinutes, &S::restIntervalMinutesChanged},
        Setting{"quietHoursEnabled", false, &Values::quietHoursEnabled, &S::quietHoursEnabled,
                &S::quietHoursEnabledChanged},
        Setting{"quietStartMinute", std::int64_t{1320}, &Values::quietStartMinute, &S::quietStartMinute,
                &S::quietStartMinuteChanged},
        Setting{"quietEndMinute", std::int64_t{480}, &Values::quietEndMinute, &S::quietEndMinute,
                &S::quietEndMinuteChanged},
        Setting{"headsUpEnabled", true, &Values::headsUpEnabled, &S::headsUpEnabled,
                &S::headsUpEnabledChanged},
        Setting{"reminders", std::vector<Reminder>{}, &Values::reminders, &S::reminders,
                &S::remindersChanged},
        Setting{"notificationsEnabled", false, &Values::notificationsEnabled, &S::notificationsEnabled,
                &S::notificationsEnabledChanged},
        Setting{"hasCompletedFirstRun", false, &Values::hasCompletedFirstRun, &S::hasCompletedFirstRun,
                &S::hasCompletedFirstRunChanged},
        Setting{"menuBarMonochrome", false, &Values::menuBarMonochrome, &S::menuBarMonochrome,
                &S::menuBarMonochromeChanged},
        Setting{"personality", Personality::mild, &Values::personality, &S::personality,
                &S::personalityChanged},
        Setting{"soundsEnabled", false, &Values::soundsEnabled, &S::soundsEnabled, &S::soundsEnabledChanged},
        Setting{"notchPeekEnabled", true, &Values::notchPeekEnabled, &S::notchPeekEnabled,
                &S::notchPeekEnabledChanged},
        Setting{"heatBreakEnabled", true, &Values::heatBreakEnabled, &S::heatBreakEnabled,
                &S::heatBreakEnabledChanged},
        Setting{"menuBarDisplay", MenuBarDisplay::face, &Values::menuBarDisplay, &S::menuBarDisplay,
                &S::menuBarDisplayChanged},
        Setting{"endOfDayEnabled", false, &Values::endOfDayEnabled, &S::endOfDayEnabled,
                &S::endOfDayEnabledChanged},
        Setting{"endOfDayMinute", std::int64_t{1110}, &Values::endOfDayMinute, &S::endOfDayMinute,
                &S::endOfDayMinuteChanged},
    };
    return table;
}

template <typename Visit> void forEachSetting(Visit&& visit) {
    std::apply([&visit](const auto&... setting) { (visit(setting), ...); }, settingsTable());
}

} // namespace

SettingsStore::SettingsStore(Defaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {
    forEachSetting([this](const auto& setting) {
        using T = std::remove_cvref_t<decltype(setting.fallback)>;
        values_.*setting.field = Stored<T>::read(defaults_, setting.key).value_or(setting.fallback);
    });
    saneReminders_ = withValidSchedules(values_.reminders);
}

std::int64_t SettingsStore::saneRestInterval(std::int64_t minutes) {
    return std::clamp(minutes, restIntervalMinimum, restIntervalMaximum);
}

std::int64_t SettingsStore::saneMinuteOfDay(std::int64_t minute) {
    return std::clamp<std::int64_t>(minute, 0, lastMinuteOfDay);
}

template <typename T> void SettingsStore::assign(T Values::*field, T value) {
    values_.*field = std::move(value);
    if constexpr (std::is_same_v<T, std::vector<Reminder>>) {
        saneReminders_ = withValidSchedules(values_.*field);
    }
    forEachSetting([this, field](const auto& setting) {
        if constexpr (std::is_same_v<decltype(setting.field), T Values::*>) {
            if (setting.field != field) {
                return;
            }
            if constexpr (std::is_invocable_v<decltype(setting.announce), SettingsStore*>) {
                emit(this->*setting.announce)();
            } else {
                emit(this->*setting.announce)((this->*setting.read)());
            }
            emit changed();
            Stored<T>::write(defaults_, std::string(setting.key), values_.*field);
        }
    });
}

template void SettingsStore::assign(bool Values::*, bool);
template void SettingsStore::assign(std::int64_t Values::*, std::int64_t);
template void SettingsStore::assign(Personality Values::*, Personality);
template void SettingsStore::assign(MenuBarDisplay Values::*, MenuBarDisplay);
template void SettingsStore::assign(std::vector<Reminder> Values::*, std::vector<Reminder>);

std::optional<QuietHours> SettingsStore::quietHours() const {
    if (!values_.quietHoursEnabled) {
        return std::nullopt;
    }
    return QuietHours{quietStartMinute(), quietEndMinute()};
}

void SettingsStore::upsert(const Reminder& reminder) {
    std::vector<Reminder> list = values_.reminders;
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
    std::vector<Reminder> list = values_.reminders;
    std::erase_if(list, [&id](const Reminder& r) { return r.id == id; });
    setReminders(std::move(list));
}

} // namespace halvrick
