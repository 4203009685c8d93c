#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/JsonCoding.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace halvrick {

// One JSON ledger file of the application-support folder, and the rules the ledger stores share:
// only a missing file starts empty; a file that exists but cannot be read or decoded is moved aside,
// never overwritten; writes are atomic; the periodic save runs on a monotonic clock.
class LedgerFile {
public:
    using MonotonicTime = std::chrono::steady_clock::time_point;

    // What a ledger store reads besides its file; tests fix all three.
    struct Clocks {
        // Wall time, for day keys.
        std::function<Date()> now;
        // The user's calendar as it is now (it changes with the time zone).
        std::function<Calendar()> calendar;
        // Elapsed time between saves.
        std::function<MonotonicTime()> monotonic;
    };

    enum class LoadResult { loaded, missing, unreadable };

    // Seconds between periodic saves while data changes.
    static constexpr double saveInterval = 60;

    explicit LedgerFile(QString path);

    // The folder "Halvrick" in the user's data folder; nothing when the platform names none.
    static std::optional<QString> applicationSupportFolder();

    // Due when no save succeeded yet, when saveInterval has passed since the last one, and when the
    // clock reads earlier than it (a clock set back must not stall saving).
    static bool isSaveDue(std::optional<MonotonicTime> lastSave, MonotonicTime now);

    const QString& path() const { return path_; }
    // Where an unreadable file was moved to.
    const std::optional<QString>& setAsidePath() const { return setAsidePath_; }

    // Reads the file and hands its JSON to `decode`, which throws when the document is not a valid
    // ledger. A file that exists but cannot be read, parsed or decoded is moved to
    // "<name>.unreadable-<dayKey>" (a counter follows when that name is taken); until that move has
    // succeeded every write is refused.
    LoadResult load(const std::function<void(const json::Json&)>& decode, const std::string& dayKey);

    // The file as it is now is kept as "<name>.original-<dayKey>" (a counter follows when that name is
    // taken) before the next write replaces it: a ledger read with figures it had to mend keeps what
    // the user's file said. Until that copy is written every write is refused.
    void keepOriginal(const std::string& dayKey);
    // Where the file as it was read was kept.
    const std::optional<QString>& originalPath() const { return originalPath_; }

    // Replaces the file whole (a reader sees the old or the new content), creating the folder first.
    // False on any failure; the file on disk is then unchanged.
    bool write(const QByteArray& bytes);
    // Invalid UTF-8 in strings is written as U+FFFD rather than failing every later save.
    bool write(const json::Json& value);

private:
    bool moveAside();
    bool writeOriginal();

    QString path_;
    // The day key of a move aside that is still to be done.
    std::optional<std::string> pendingAside_;
    std::optional<QString> setAsidePath_;
    // The day key of a copy of the original that is still to be written.
    std::optional<std::string> pendingOriginal_;
    std::optional<QString> originalPath_;
    // The last write failed; it was logged.
    bool failing_ = false;
};

} // namespace halvrick
