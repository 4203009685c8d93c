#pragma once

#include "core/StatsLedger.h"
#include "model/LedgerFile.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace halvrick {

// Keeps the stats ledger in "stats.json" of the application-support folder. The app model books into
// ledger(), marks the store dirty, prunes on a new day and saves; the store writes only dirty data,
// atomically, and never over a file it could not read.
class StatsStore {
public:
    // Loads the file and prunes it to retentionDays; no folder means the ledger lives in memory only.
    StatsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks,
               std::optional<QString> folder = LedgerFile::applicationSupportFolder());

    StatsLedger& ledger() { return ledger_; }
    const StatsLedger& ledger() const { return ledger_; }
    const std::optional<QString>& fileURL() const { return fileURL_; }
    std::int64_t retentionDays() const { return retentionDays_; }
    bool isDirty() const { return isDirty_; }
    void setDirty(bool dirty) { isDirty_ = dirty; }
    // When the last successful write finished, on the monotonic clock; nothing before the first.
    std::optional<LedgerFile::MonotonicTime> lastSave() const { return lastSave_; }
    const std::string& lastPruneDay() const { return lastPruneDay_; }

    // Writes the ledger when it is dirty; a failed write keeps it dirty for the next attempt.
    void save();
    // save() when LedgerFile::isSaveDue says so.
    void saveIfDue();
    // Empties the ledger and writes at once.
    void reset();
    // Prunes once per day key; any change of the key counts, a step back too.
    void pruneIfNewDay(Date now);

private:
    StatsLedger ledger_;
    std::optional<QString> fileURL_;
    std::optional<LedgerFile> file_;
    std::int64_t retentionDays_;
    bool isDirty_ = false;
    std::optional<LedgerFile::MonotonicTime> lastSave_;
    std::string lastPruneDay_;
    LedgerFile::Clocks clocks_;
};

} // namespace halvrick
