#include "core/StatsLedger.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace halvrick {

namespace {

// Only finite amounts are booked: an infinity would be written as null and make the whole file
// undecodable on the next launch.
bool isBookable(double seconds) {
    return std::isfinite(seconds) && seconds > 0;
}

std::optional<std::int64_t> decimal(std::string_view field) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    if (field.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size()) {
        return std::nullopt;
    }
    return value;
}

// Bounds within which carrying months and days over still lands in a year the calendar can name.
constexpr std::int64_t maxYear = 9999;
constexpr std::int64_t maxMonths = 100'000;
constexpr std::int64_t maxDays = 1'000'000;

std::int64_t requiredCount(const json::Json& obj, std::string_view key) {
    const json::Json& value = json::member(obj, key);
    // Checked here so that a count beyond the signed 64-bit range is an error, never a wrapped number.
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        throw Error("\"" + std::string(key) + "\" does not fit a 64-bit count");
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (!(d >= -9.2e18 && d <= 9.2e18)) {
            throw Error("\"" + std::string(key) + "\" does not fit a 64-bit count");
        }
    }
    return json::asInt(value, key);
}

// CPU time adds up over the cores, so an application may use more CPU seconds in a day than the day
// has seconds; never more than the day's length on each of the most cores a Linux kernel can drive.
// The file may come from a larger machine than this one, so the cap is not this machine's core count.
constexpr double mostCores = 8192;

// A prompt or a break takes a second at least, so a day holds no more of them than it has seconds;
// this also keeps the sums over years far from the 64-bit limit.
constexpr auto mostPerDay = static_cast<std::int64_t>(StatsLedger::longestDaySeconds);

// Not-a-number and negative figures count as 0.
void mend(double& figure, double most, std::size_t& changed) {
    const double sane = figure > 0 ? std::min(figure, most) : 0;
    if (!(sane == figure)) {
        figure = sane;
        ++changed;
    }
}

void mend(std::int64_t& count, std::size_t& changed) {
    const std::int64_t sane = std::clamp<std::int64_t>(count, 0, mostPerDay);
    if (sane != count) {
        count = sane;
        ++changed;
    }
}

json::Json appToJson(const AppSweat& app) {
    return {{"name", app.name},
            {"isSystem", app.isSystem},
            {"sweatSeconds", app.sweatSeconds},
            {"cpuSeconds", app.cpuSeconds}};
}

AppSweat appFromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "application");
    return AppSweat(json::required<std::string>(obj, "name"), json::required<bool>(obj, "isSystem"),
                    json::required<double>(obj, "sweatSeconds"), json::required<double>(obj, "cpuSeconds"));
}

json::Json dayToJson(const DailyStats& day) {
    json::Json apps = json::Json::object();
    for (const auto& [id, app] : day.apps) {
        apps[id] = appToJson(app);
    }
    return {{"day", day.day},
            {"apps", std::move(apps)},
            {"sweatingSeconds", day.sweatingSeconds},
            {"meltdownSeconds", day.meltdownSeconds},
            {"activeSeconds", day.activeSeconds},
            {"longestStretchSeconds", day.longestStretchSeconds},
            {"promptsShown", day.promptsShown},
            {"breaksTaken", day.breaksTaken}};
}

DailyStats dayFromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "day");
    DailyStats day(json::required<std::string>(obj, "day"));
    for (const auto& [id, app] : json::object(json::member(obj, "apps"), "apps").items()) {
        day.apps.emplace(id, appFromJson(app));
    }
    day.sweatingSeconds = json::required<double>(obj, "sweatingSeconds");
    day.meltdownSeconds = json::required<double>(obj, "meltdownSeconds");
    day.activeSeconds = json::required<double>(obj, "activeSeconds");
    day.longestStretchSeconds = json::required<double>(obj, "longestStretchSeconds");
    day.promptsShown = requiredCount(obj, "promptsShown");
    day.breaksTaken = requiredCount(obj, "breaksTaken");
    return day;
}

} // namespace

std::string StatsLedger::dayKey(Date date, const Calendar& calendar) {
    const DateComponents c = calendar.components(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

std::optional<Date> StatsLedger::dateForDay(std::string_view day, const Calendar& calendar) {
    std::vector<std::int64_t> numbers;
    while (!day.empty()) {
        const std::size_t dash = day.find('-');
        const std::string_view field = day.substr(0, dash);
        if (const auto number = decimal(field)) {
            numbers.push_back(*number);
        }
        day = dash == std::string_view::npos ? std::string_view() : day.substr(dash + 1);
    }
    if (numbers.size() != 3) {
        return std::nullopt;
    }
    const std::int64_t year = numbers[0], month = numbers[1], dayOfMonth = numbers[2];
    if (year > maxYear || month > maxMonths || dayOfMonth > maxDays) {
        return std::nullopt;
    }
    return calendar.date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(dayOfMonth));
}

DailyStats& StatsLedger::entry(Date at, const Calendar& calendar) {
    std::string key = dayKey(at, calendar);
    auto it = days.find(key);
    if (it == days.end()) {
        it = days.emplace(key, DailyStats(key)).first;
    }
    return it->second;
}

AppSweat& StatsLedger::app(DailyStats& day, const AppKey& key) {
    auto it = day.apps.find(key.id);
    if (it == day.apps.end()) {
        it =
            day.apps.emplace(key.id, AppSweat(key.displayName, key.kind == AppKey::Kind::system, 0, 0)).first;
    }
    return it->second;
}

void StatsLedger::addCPU(double seconds, const AppKey& key, Date at, const Calendar& calendar) {
    if (isBookable(seconds)) {
        app(entry(at, calendar), key).cpuSeconds += seconds;
    }
}

void StatsLedger::addSweat(double seconds, const AppKey& key, Date at, const Calendar& calendar) {
    if (isBookable(seconds)) {
        app(entry(at, calendar), key).sweatSeconds += seconds;
    }
}

void StatsLedger::addHeat(double seconds, HeatState state, Date at, const Calendar& calendar) {
    if (!isBookable(seconds)) {
        return;
    }
    if (state == HeatState::sweating) {
        entry(at, calendar).sweatingSeconds += seconds;
    } else if (state == HeatState::meltdown) {
        entry(at, calendar).meltdownSeconds += seconds;
    }
}

void StatsLedger::addActive(double seconds, Date at, const Calendar& calendar) {
    if (isBookable(seconds)) {
        entry(at, calendar).activeSeconds += seconds;
    }
}

void StatsLedger::recordStretch(double seconds, Date at, const Calendar& calendar) {
    DailyStats& day = entry(at, calendar);
    if (std::isfinite(seconds) && day.longestStretchSeconds <= seconds) {
        day.longestStretchSeconds = seconds;
    }
}

void StatsLedger::recordPromptShown(Date at, const Calendar& calendar) {
    entry(at, calendar).promptsShown += 1;
}

void StatsLedger::recordBreakTaken(Date at, const Calendar& calendar) {
    entry(at, calendar).breaksTaken += 1;
}

void StatsLedger::prune(std::int64_t keepingDays, Date today, const Calendar& calendar) {
    // Beyond this the cutoff lies outside any year the calendar can name: nothing is old enough to go.
    constexpr std::int64_t span = 3'000'000;
    if (keepingDays > span || keepingDays < -span) {
        return;
    }
    const Date cutoff = calendar.addingDays(static_cast<int>(1 - keepingDays), calendar.startOfDay(today));
    const std::string cutoffKey = dayKey(cutoff, calendar);
    days.erase(days.begin(), days.lower_bound(cutoffKey));
}

std::optional<std::string> StatsLedger::earliestDay() const {
    if (days.empty()) {
        return std::nullopt;
    }
    return days.begin()->first;
}

std::optional<std::string> StatsLedger::latestDay() const {
    if (days.empty()) {
        return std::nullopt;
    }
    return days.rbegin()->first;
}

std::size_t StatsLedger::mendFigures() {
    std::size_t changed = 0;
    for (auto& [key, day] : days) {
        // Hot and active time are booked into the day they pass in, and an application's sweat time is its
        // share of the day's hot time. A stretch longer than the day would mean no pause since the day
        // before; the grade counts nothing beyond two hours anyway.
        for (double* seconds : {&day.sweatingSeconds, &day.activeSeconds, &day.longestStretchSeconds}) {
            mend(*seconds, longestDaySeconds, changed);
        }
        // A second is sweating or meltdown, never both: together they fit the day too.
        mend(day.meltdownSeconds, longestDaySeconds - day.sweatingSeconds, changed);
        mend(day.promptsShown, changed);
        mend(day.breaksTaken, changed);
        for (auto& [id, app] : day.apps) {
            mend(app.sweatSeconds, longestDaySeconds, changed);
            mend(app.cpuSeconds, longestDaySeconds * mostCores, changed);
        }
    }
    return changed;
}

json::Json StatsLedger::toJson() const {
    json::Json out = json::Json::object();
    for (const auto& [key, day] : days) {
        out[key] = dayToJson(day);
    }
    return {{"days", std::move(out)}};
}

StatsLedger StatsLedger::fromJson(const json::Json& value) {
    const json::Json& obj = json::object(value, "ledger");
    StatsLedger ledger;
    for (const auto& [key, day] : json::object(json::member(obj, "days"), "days").items()) {
        // Stored under the member name, whatever the "day" inside says.
        ledger.days.emplace(key, dayFromJson(day));
    }
    return ledger;
}

} // namespace halvrick
