#include "model/Defaults.h"

#include "core/Error.h"
#include "core/StatsLedger.h"
#include "model/LedgerFile.h"
#include "sampling/SystemTimeSource.h"
#include "storage/XdgPaths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cmath>
#include <limits>
#include <thread>

namespace halvrick {

namespace {

constexpr std::string_view dataKey = "$data";

// Short, so that a writer waiting for another one gets its turn soon after it ends.
constexpr std::chrono::milliseconds lockPoll{2};

// Keys starting with "$" are kept for the file's own forms ("$data"), so a map key gets one more "$".
std::string escapedMapKey(const std::string& key) {
    return key.starts_with('$') ? "$" + key : key;
}

bool lock(QLockFile& file) {
    QDeadlineTimer deadline(Defaults::lockTimeout);
    // tryLock(0) also clears a lock left by a writer that died.
    while (!file.tryLock(0)) {
        if (file.error() != QLockFile::LockFailedError || deadline.hasExpired()) {
            return false;
        }
        std::this_thread::sleep_for(lockPoll);
    }
    return true;
}

void applyChanges(json::Json& values, const std::map<std::string, std::optional<json::Json>>& changes) {
    for (const auto& [key, value] : changes) {
        if (value) {
            values[key] = *value;
        } else {
            values.erase(key);
        }
    }
}

} // namespace

Defaults::Defaults(std::optional<QString> path, std::function<std::string()> dayKey)
    : path_(std::move(path)), dayKey_(std::move(dayKey)) {
    if (path_ && path_->isEmpty()) {
        path_.reset();
    }
    if (path_) {
        LedgerFile(*path_).load(
            [this](const json::Json& value) { values_ = json::object(value, "the defaults"); }, dayKey_());
    }
}

std::optional<QString> Defaults::standardPath() {
    const auto base = XdgPaths::configHome();
    if (!base) {
        return std::nullopt;
    }
    return *base + "/Halvrick/defaults.json";
}

std::string Defaults::currentDayKey() {
    return StatsLedger::dayKey(SystemTimeSource().now(), SystemTimeSource::currentCalendar());
}

const json::Json* Defaults::find(std::string_view key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? nullptr : &*it;
}

std::optional<bool> Defaults::getBool(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_boolean()) {
        return std::nullopt;
    }
    return value->get<bool>();
}

std::optional<std::int64_t> Defaults::getInt(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        const auto u = value->get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(u);
    }
    if (value->is_number_integer()) {
        return value->get<std::int64_t>();
    }
    return std::nullopt;
}

std::optional<double> Defaults::getDouble(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_number()) {
        return std::nullopt;
    }
    return value->get<double>();
}

std::optional<std::string> Defaults::getString(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<QByteArray> Defaults::getData(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_object() || value->size() != 1) {
        return std::nullopt;
    }
    const auto it = value->find(dataKey);
    if (it == value->end() || !it->is_string()) {
        return std::nullopt;
    }
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(it->get<std::string>()),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return std::nullopt;
    }
    return decoded.decoded;
}

std::optional<std::vector<std::string>> Defaults::getStringList(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_array()) {
        return std::nullopt;
    }
    std::vector<std::string> list;
    for (const json::Json& item : *value) {
        if (!item.is_string()) {
            return std::nullopt;
        }
        list.push_back(item.get<std::string>());
    }
    return list;
}

std::optional<std::map<std::string, std::string>> Defaults::getStringMap(std::string_view key) const {
    const json::Json* value = find(key);
    if (!value || !value->is_object()) {
        return std::nullopt;
    }
    std::map<std::string, std::string> map;
    for (const auto& [stored, item] : value->items()) {
        // A single "$" marks another form, such as data.
        if (!item.is_string() || (stored.starts_with('$') && !stored.starts_with("$$"))) {
            return std::nullopt;
        }
        map.emplace(stored.starts_with('$') ? stored.substr(1) : stored, item.get<std::string>());
    }
    return map;
}

void Defaults::setBool(const std::string& key, bool value) {
    change(key, json::Json(value));
}

void Defaults::setInt(const std::string& key, std::int64_t value) {
    change(key, json::Json(value));
}

void Defaults::setDouble(const std::string& key, double value) {
    if (!std::isfinite(value)) {
        change(key, std::nullopt);
        return;
    }
    change(key, json::Json(value));
}

void Defaults::setString(const std::string& key, const std::string& value) {
    change(key, json::Json(value));
}

void Defaults::setData(const std::string& key, const QByteArray& value) {
    change(key, json::Json{{dataKey, value.toBase64().toStdString()}});
}

void Defaults::setStringList(const std::string& key, const std::vector<std::string>& value) {
    change(key, json::Json(value));
}

void Defaults::setStringMap(const std::string& key, const std::map<std::string, std::string>& value) {
    json::Json object = json::Json::object();
    for (const auto& [name, item] : value) {
        object[escapedMapKey(name)] = item;
    }
    change(key, std::move(object));
}

void Defaults::remove(const std::string& key) {
    change(key, std::nullopt);
}

void Defaults::change(const std::string& key, std::optional<json::Json> value) {
    if (value) {
        values_[key] = *value;
    } else {
        values_.erase(key);
    }
    if (path_) {
        pending_[key] = std::move(value);
    }
    if (batchDepth_ == 0) {
        synchronize();
    }
}

void Defaults::batch(const std::function<void()>& changes) {
    ++batchDepth_;
    try {
        changes();
    } catch (...) {
        --batchDepth_;
        throw;
    }
    if (--batchDepth_ == 0) {
        synchronize();
    }
}

bool Defaults::synchronize() {
    if (pending_.empty()) {
        return true;
    }
    QDir().mkpath(QFileInfo(*path_).absolutePath());
    QLockFile fileLock(*path_ + ".lock");
    if (!lock(fileLock)) {
        return false;
    }
    // Another store may have written since this one last read: merge this store's changes into what
    // is on disk now.
    json::Json merged = json::Json::object();
    LedgerFile file(*path_);
    const LedgerFile::LoadResult loaded = file.load(
        [&merged](const json::Json& value) { merged = json::object(value, "the defaults"); }, dayKey_());
    if (loaded == LedgerFile::LoadResult::unreadable) {
        // Moved aside: what this store last saw, with its changes, is the best there is.
        merged = values_;
    } else {
        applyChanges(merged, pending_);
    }
    values_ = merged;
    if (!file.write(merged)) {
        return false;
    }
    pending_.clear();
    return true;
}

} // namespace halvrick
