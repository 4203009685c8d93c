#pragma once

#include "core/MachineVitals.h"
#include "core/VitalsDay.h"
#include "core/VitalsLedger.h"
#include "model/LedgerFile.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

// Keeps the vitals ledger in "vitals.json" beside "stats.json": the stats store's twin, with a second
// retention for snapshots and record(), which books a machine sample and saves when due.
class VitalsStore {
public:
    // How many days of snapshots pruning keeps.
    static constexpr std::int64_t snapshotDays = 14;
    // Seconds between kept snapshots.
    static constexpr double snapshotInterval = 900;

    // Loads the file and prunes it to retentionDays; no folder means the ledger lives in memory only.
    VitalsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks,
                std::optional<QString> folder = LedgerFile::applicationSupportFolder());

    VitalsLedger& ledger() { return ledger_; }
    const VitalsLedger& ledger() const { return ledger_; }
    const std::optional<QString>& fileURL() const { return fileURL_; }
    std::int64_t retentionDays() const { return retentionDays_; }
    bool isDirty() const { return isDirty_; }
    void setDirty(bool dirty) { isDirty_ = dirty; }
    // When the last successful write finished, on the monotonic clock; nothing before the first.
    std::optional<LedgerFile::MonotonicTime> lastSave() const { return lastSave_; }
    const std::string& lastPruneDay() const { return lastPruneDay_; }

    // Books one machine sample, keeps the snapshot series, prunes on a new day and saves when due.
    void record(const MachineVitals& vitals, const std::vector<AppMemory>& apps, double interval);
    // Writes the ledger when it is dirty; a failed write keeps it dirty for the next attempt.
    void save();
    // save() when LedgerFile::isSaveDue says so.
    void saveIfDue();
    // Empties the ledger and writes at once.
    void reset();
    // Prunes once per day key; any change of the key counts, a step back too.
    void pruneIfNewDay(Date now);

private:
    VitalsLedger ledger_;
    std::optional<QString> fileURL_;
    std::optional<LedgerFile> file_;
    std::int64_t retentionDays_;
    bool isDirty_ = false;
    std::optional<LedgerFile::MonotonicTime> lastSave_;
    std::string lastPruneDay_;
    LedgerFile::Clocks clocks_;
};

} // namespace halvrick
