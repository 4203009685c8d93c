#pragma once

#include "core/MachineVitals.h"
#include "core/VitalsDay.h"
#include "core/VitalsLedger.h"
#include "model/LedgerStore.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

// Keeps the vitals ledger in "vitals.json" beside "stats.json": the stats store's twin, with a second
// retention for snapshots and record(), which books a machine sample and saves when due.
class VitalsStore : public LedgerStore<VitalsLedger> {
public:
    // How many days of snapshots pruning keeps.
    static constexpr std::int64_t snapshotDays = 14;
    // Seconds between kept snapshots.
    static constexpr double snapshotInterval = 900;

    // Loads the file and prunes it to retentionDays; no folder means the ledger lives in memory only.
    VitalsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks,
                std::optional<QString> folder = LedgerFile::applicationSupportFolder());

    // Books one machine sample, keeps the snapshot series, prunes on a new day and saves when due.
    void record(const MachineVitals& vitals, const std::vector<AppMemory>& apps, double interval);

private:
    void prune(Date now, const Calendar& calendar) override;
};

} // namespace halvrick
