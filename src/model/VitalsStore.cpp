#include "model/VitalsStore.h"

#include "core/StatsLedger.h"

#include <QDir>
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
    : retentionDays_(retentionDays), clocks_(std::move(clocks)) {
    if (folder && !folder->isEmpty()) {
        // A failure shows again, and harmlessly, when the file is read and written.
        QDir().mkpath(*folder);
        fileURL_ = *folder + "/vitals.json";
        file_.emplace(*fileURL_);
        file_->load([this](const json::Json& value) { ledger_ = VitalsLedger::fromJson(value); },
                    StatsLedger::dayKey(clocks_.now(), clocks_.calendar()));
    }
    pruneIfNewDay(clocks_.now());
}

void VitalsStore::record(const MachineVitals& vitals, const std::vector<AppMemory>& apps, double interval) {
    ledger_.record(vitals, apps, interval, clocks_.calendar());
    ledger_.addSnapshot(vitals, snapshotInterval);
    pruneIfNewDay(vitals.date);
    isDirty_ = true;
    saveIfDue();
}

void VitalsStore::save() {
    if (!isDirty_ || !file_) {
        return;
    }
    if (file_->write(ledger_.toJson())) {
        isDirty_ = false;
        lastSave_ = clocks_.monotonic();
    }
}

void VitalsStore::saveIfDue() {
    if (LedgerFile::isSaveDue(lastSave_, clocks_.monotonic())) {
        save();
    }
}

void VitalsStore::reset() {
    ledger_.reset();
    isDirty_ = true;
    save();
}

void VitalsStore::pruneIfNewDay(Date now) {
    const Calendar calendar = clocks_.calendar();
    std::string key = StatsLedger::dayKey(now, calendar);
    if (key == lastPruneDay_) {
        return;
    }
    lastPruneDay_ = std::move(key);
    ledger_.prune(clampedDays(retentionDays_), static_cast<int>(snapshotDays), now, calendar);
    isDirty_ = true;
}

} // namespace halvrick
