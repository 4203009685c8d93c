#include "model/AppModel.h"
#include "model/AppServices.h"

namespace halvrick {

namespace {

// A folder's change counts from here, and so does a change of free storage.
constexpr std::uint64_t minimumFolderDelta = 250'000'000;
constexpr int growthLimit = 4;
constexpr int trendDays = 7;
constexpr double automaticMeasureInterval = 6 * 3600;

} // namespace

void AppModel::refreshFolders(Date now) {
    const Calendar calendar = services_->calendar();
    const VitalsLedger& ledger = vitals_->ledger();
    publish(folderComparisons_, ledger.folderComparisons(now, calendar), &AppModel::folderComparisonsChanged);
    publish(folderGrowth_, ledger.folderGrowth(now, minimumFolderDelta, growthLimit, calendar),
            &AppModel::folderGrowthChanged);
    publish(folderTrends_, ledger.folderTrends(trendDays, now, calendar), &AppModel::folderTrendsChanged);
}

void AppModel::measureFoldersIfNeeded(Date now, bool force, bool automatic) {
    if (isMeasuringFolders_) {
        return;
    }
    const std::optional<Date> last = vitals_->ledger().lastFolderMeasurementDate();
    if (automatic && !last) {
        return;
    }
    if (!force && last && now - *last < automaticMeasureInterval) {
        return;
    }
    publish(isMeasuringFolders_, true, &AppModel::isMeasuringFoldersChanged);
    refreshFolders(now);
    services_->folderWorker->post(
        this, [measure = services_->measureFolders](std::stop_token stop) { return measure(std::move(stop)); },
        [this](FolderSizer::Result result) { foldersMeasured(result); });
}

void AppModel::foldersMeasured(const FolderSizer::Result& result) {
    const Date now = services_->now();
    vitals_->ledger().recordFolderSizes(result.sizes, now, services_->calendar());
    vitals_->setDirty(true);
    vitals_->save();
    publish(folderDenied_, result.denied, &AppModel::folderDeniedChanged);
    publish(folderAccessDenied_, !result.denied.empty(), &AppModel::folderAccessDeniedChanged);
    publish(folderPartlyMeasured_, result.partlyMeasured, &AppModel::folderPartlyMeasuredChanged);
    publish(isMeasuringFolders_, false, &AppModel::isMeasuringFoldersChanged);
    refreshFolders(now);
}

bool AppModel::hasMeasuredFoldersToday() const {
    return !folderSizesToday().empty();
}

std::map<std::string, std::uint64_t> AppModel::folderSizesToday() const {
    const std::optional<VitalsDay> today = vitals_->ledger().day(services_->now(), services_->calendar());
    return today ? today->folderBytes : std::map<std::string, std::uint64_t>();
}

bool AppModel::storageMovedElsewhere() const {
    const Date now = services_->now();
    if (!folderGrowth_.empty() || !hasMeasuredFoldersToday() ||
        !vitals_->ledger().hasEarlierFolderSizes(now, services_->calendar())) {
        return false;
    }
    for (const VitalsComparison& comparison : vitalsComparisons(now)) {
        const std::int64_t moved = comparison.change.storageFree;
        const auto limit = static_cast<std::int64_t>(minimumFolderDelta);
        if (moved >= limit || moved <= -limit) {
            return true;
        }
    }
    return false;
}

std::vector<VitalsComparison> AppModel::vitalsComparisons(Date now) const {
    if (!machine_) {
        return {};
    }
    const VitalsLedger& ledger = vitals_->ledger();
    std::vector<VitalsComparison> rows;
    const auto add = [&](const char* id, const char* title, const std::optional<VitalsSnapshot>& snapshot) {
        if (snapshot) {
            rows.push_back({id, title, VitalsChange::between(*snapshot, *machine_)});
        }
    };
    std::optional<VitalsSnapshot> morning = ledger.firstSnapshot(now, services_->calendar());
    if (morning && now - morning->date < 300) {
        morning.reset();
    }
    add("morning", "Since this morning", morning);
    add("yesterday", "Yesterday at this time", ledger.snapshot(now - 86400, 2700));
    add("week", "A week ago", ledger.snapshot(now - 604800, 7200));
    return rows;
}

std::map<std::string, std::uint64_t> AppModel::yesterdayMemoryPeaks() const {
    const Calendar calendar = services_->calendar();
    const Date yesterday = calendar.addingDays(-1, services_->now());
    std::map<std::string, std::uint64_t> peaks;
    for (const AppMemoryPeak& peak : vitals_->ledger().appPeaks(yesterday, calendar)) {
        peaks[peak.id] = peak.peakBytes;
    }
    return peaks;
}

} // namespace halvrick
