#include "model/StatsStore.h"

namespace halvrick {

StatsStore::StatsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks, std::optional<QString> folder)
    : LedgerStore("stats.json", retentionDays, std::move(clocks), folder) {
    pruneIfNewDay(this->clocks().now());
}

void StatsStore::prune(Date now, const Calendar& calendar) { ledger_.prune(retentionDays(), now, calendar); }

} // namespace halvrick
