#pragma once

#include "core/StatsLedger.h"
#include "model/LedgerStore.h"

namespace halvrick {

// Keeps the stats ledger in "stats.json" of the application-support folder.
class StatsStore : public LedgerStore<StatsLedger> {
public:
    // Loads the file and prunes it to retentionDays; no folder means the ledger lives in memory only.
    StatsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks,
               std::optional<QString> folder = LedgerFile::applicationSupportFolder());

private:
    void prune(Date now, const Calendar& calendar) override;
};

} // namespace halvrick
