#include "model/StatsStore.h"

#include <QDir>

namespace halvrick {

StatsStore::StatsStore(std::int64_t retentionDays, LedgerFile::Clocks clocks, std::optional<QString> folder)
    : retentionDays_(retentionDays), clocks_(std::move(clocks)) {
    if (folder && !folder->isEmpty()) {
        // A failure shows again, and harmlessly, when the file is read and written.
        QDir().mkpath(*folder);
        fileURL_ = *folder + "/stats.json";
        file_.emplace(*fileURL_);
        file_->load([this](const json::Json& value) { ledger_ = StatsLedger::fromJson(value); },
                    StatsLedger::dayKey(clocks_.now(), clocks_.calendar()));
    }
    pruneIfNewDay(clocks_.now());
}

void StatsStore::save() {
    if (!isDirty_ || !file_) {
        return;
    }
    if (file_->write(ledger_.toJson())) {
        isDirty_ = false;
        lastSave_ = clocks_.monotonic();
    }
}

void StatsStore::saveIfDue() {
    if (LedgerFile::isSaveDue(lastSave_, clocks_.monotonic())) {
        save();
    }
}

void StatsStore::reset() {
    ledger_.reset();
    isDirty_ = true;
    save();
}

void StatsStore::pruneIfNewDay(Date now) {
    const Calendar calendar = clocks_.calendar();
    std::string key = StatsLedger::dayKey(now, calendar);
    if (key == lastPruneDay_) {
        return;
    }
    lastPruneDay_ = std::move(key);
    ledger_.prune(retentionDays_, now, calendar);
    isDirty_ = true;
}

} // namespace halvrick
