#pragma once

#include "core/JsonCoding.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// The user defaults: typed values by key in one JSON file. A value read as another type than it was
// stored with reads as absent, so callers fall back to their own default. Every change (or every batch
// of changes) is written at once, atomically, after re-reading the file under a lock, so that several
// stores of the same file, in one process or in several, keep each other's keys: the last writer wins
// per key. A file that exists but cannot be read or decoded is moved aside, never overwritten.
class Defaults {
public:
    // How long a write waits for another writer of the same file before it gives up (and retries with
    // the next change).
    static constexpr std::chrono::milliseconds lockTimeout{1000};

    // No path keeps the values in memory only. `dayKey` names the day in the name of a file moved aside.
    explicit Defaults(std::optional<QString> path = standardPath(),
                      std::function<std::string()> dayKey = currentDayKey);

    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;

    // "Halvrick/defaults.json" in the user's configuration folder; nothing when the platform names none.
    static std::optional<QString> standardPath();
    // Today's day key in the user's calendar.
    static std::string currentDayKey();

    const std::optional<QString>& path() const { return path_; }

    std::optional<bool> getBool(std::string_view key) const;
    std::optional<std::int64_t> getInt(std::string_view key) const;
    // Any number, an integer too.
    std::optional<double> getDouble(std::string_view key) const;
    std::optional<std::string> getString(std::string_view key) const;
    std::optional<QByteArray> getData(std::string_view key) const;
    std::optional<std::vector<std::string>> getStringList(std::string_view key) const;
    std::optional<std::map<std::string, std::string>> getStringMap(std::string_view key) const;

    void setBool(const std::string& key, bool value);
    void setInt(const std::string& key, std::int64_t value);
    // A value that is not finite has no JSON form: it removes the key.
    void setDouble(const std::string& key, double value);
    void setString(const std::string& key, const std::string& value);
    void setData(const std::string& key, const QByteArray& value);
    void setStringList(const std::string& key, const std::vector<std::string>& value);
    void setStringMap(const std::string& key, const std::map<std::string, std::string>& value);
    void remove(const std::string& key);

    // Every change made while `changes` runs reaches the file in one write.
    void batch(const std::function<void()>& changes);

    // Writes the changes that are not on disk yet; true when none is left. A change that could not be
    // written (the file busy, unwritable, or unreadable and impossible to move aside) stays in memory and
    // goes out with the next write.
    bool synchronize();

private:
    void change(const std::string& key, std::optional<json::Json> value);
    const json::Json* find(std::string_view key) const;

    std::optional<QString> path_;
    std::function<std::string()> dayKey_;
    // The file as last read, with every change of this object applied.
    json::Json values_ = json::Json::object();
    // This object's changes that are not on disk yet; nothing means the key is removed.
    std::map<std::string, std::optional<json::Json>> pending_;
    int batchDepth_ = 0;
};

} // namespace halvrick
