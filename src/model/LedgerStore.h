#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/StatsLedger.h"
#include "model/LedgerFile.h"

#include <QDir>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace halvrick {

// A ledger kept in one JSON file of the application-support folder. The app model books into
// ledger(), marks the store dirty, prunes on a new day and saves; the store writes only dirty data,
// atomically, and never over a file it could not read. Each ledger says how it is pruned.
template <class Ledger>
class LedgerStore {
public:
    virtual ~LedgerStore() = default;
    LedgerStore(const LedgerStore&) = delete;
    LedgerStore& operator=(const LedgerStore&) = delete;

    Ledger& ledger() { return ledger_; }
    const Ledger& ledger() const { return ledger_; }
    const std::optional<QString>& fileURL() const { return fileURL_; }
    // Where the file as it was read was kept, when its figures had to be mended.
    std::optional<QString> originalPath() const { return file_ ? file_->originalPath() : std::nullopt; }
    std::int64_t retentionDays() const { return retentionDays_; }
    bool isDirty() const { return isDirty_; }
    void setDirty(bool dirty) { isDirty_ = dirty; }
    // When the last successful write finished, on the monotonic clock; nothing before the first.
    std::optional<LedgerFile::MonotonicTime> lastSave() const { return lastSave_; }
    const std::string& lastPruneDay() const { return lastPruneDay_; }
    // How many figures of the file were out of range when it was loaded. They count as mended from then
    // on; the file as it was read is kept beside it (LedgerFile::keepOriginal) before the next save.
    std::size_t mendedFigures() const { return mendedFigures_; }

    // Writes the ledger when it is dirty; a failed write keeps it dirty for the next attempt.
    void save() {
        if (!isDirty_ || !file_) {
            return;
        }
        if (file_->write(ledger_.toJson())) {
            isDirty_ = false;
            lastSave_ = clocks_.monotonic();
        }
    }

    // save() when LedgerFile::isSaveDue says so.
    void saveIfDue() {
        if (LedgerFile::isSaveDue(lastSave_, clocks_.monotonic())) {
            save();
        }
    }

    // Empties the ledger and writes at once.
    void reset() {
        ledger_.reset();
        isDirty_ = true;
        save();
    }

    // Prunes once per day key; any change of the key counts, a step back too.
    void pruneIfNewDay(Date now) {
        const Calendar calendar = clocks_.calendar();
        std::string key = StatsLedger::dayKey(now, calendar);
        if (key == lastPruneDay_) {
            return;
        }
        lastPruneDay_ = std::move(key);
        prune(pruneDate(now, calendar), calendar);
        isDirty_ = true;
    }

    // The date pruning counts its days back from: `now`, or the day after the newest day booked before
    // today when that is earlier. A clock set far ahead then removes only what the next real day's pruning
    // would remove anyway, and a day booked under such a clock (today's, later a future one) never moves
    // the window. In daily use this is `now`; after a long pause the old days go one day later.
    Date pruneDate(Date now, const Calendar& calendar) const {
        const auto& days = ledger_.days;
        for (auto it = days.lower_bound(StatsLedger::dayKey(now, calendar)); it != days.begin();) {
            --it;
            if (const auto start = StatsLedger::dateForDay(it->first, calendar)) {
                return std::min(now, calendar.addingDays(1, *start));
            }
        }
        return now;
    }

protected:
    // Loads `fileName` from the folder; no folder means the ledger lives in memory only. The derived
    // store prunes once it is built.
    LedgerStore(const char* fileName, std::int64_t retentionDays, LedgerFile::Clocks clocks,
                const std::optional<QString>& folder)
        : retentionDays_(retentionDays), clocks_(std::move(clocks)) {
        if (folder && !folder->isEmpty()) {
            // A failure shows again, and harmlessly, when the file is read and written.
            QDir().mkpath(*folder);
            fileURL_ = *folder + "/" + fileName;
            file_.emplace(*fileURL_);
            const std::string dayKey = StatsLedger::dayKey(clocks_.now(), clocks_.calendar());
            file_->load(
                [this](const json::Json& value) {
                    ledger_ = Ledger::fromJson(value);
                    mendedFigures_ = ledger_.mendFigures();
                },
                dayKey);
            if (mendedFigures_ > 0) {
                file_->keepOriginal(dayKey);
            }
        }
    }

    virtual void prune(Date now, const Calendar& calendar) = 0;

    const LedgerFile::Clocks& clocks() const { return clocks_; }

    Ledger ledger_;
    bool isDirty_ = false;

private:
    std::optional<QString> fileURL_;
    std::optional<LedgerFile> file_;
    std::int64_t retentionDays_;
    std::optional<LedgerFile::MonotonicTime> lastSave_;
    std::string lastPruneDay_;
    std::size_t mendedFigures_ = 0;
    LedgerFile::Clocks clocks_;
};

} // namespace halvrick
