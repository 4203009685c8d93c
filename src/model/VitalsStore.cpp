#include "model/VitalsStore.h"

#include "core/StatsLedger.h"

#include <algorithm>
#include <limits>

namespace halvrick {

namespace {

int clampedDays(std::int64_t days) {
    return static_cast<int>(
        std::clamp<std::int64_t>(days, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

VitalsStore::VitalsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks, std::optional<QString> folder)
    : LedgerStore("vitals.json", retentionDays, std::move(clocks), folder) {
    pruneIfNewDay(this->clocks().now());
}

void VitalsStore::record(const MachineVitals& vitals, const std::vector<AppMemory>& apps, double interval) {
    ledger_.record(vitals, apps, interval, clocks().calendar());
    ledger_.addSnapshot(vitals, snapshotInterval);
    pruneIfNewDay(vitals.date);
    isDirty_ = true;
    saveIfDue();
}

void VitalsStore::prune(Date now, const Calendar& calendar) {
    ledger_.prune(clampedDays(retentionDays()), static_cast<int>(snapshotDays), now, calendar);
}

} // namespace halvrick
