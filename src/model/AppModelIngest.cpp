#include "core/Bytes.h"
#include "core/SweatAccounting.h"
#include "model/AppModel.h"

#include <algorithm>

namespace halvrick {

namespace {

// System parts below this share of the machine are noise; at most this many are shown.
constexpr double minimumPartShare = 0.003;
constexpr std::size_t shownPartCount = 3;

const char* pressureName(MemoryPressure pressure) {
    switch (pressure) {
    case MemoryPressure::normal:
        return "normal";
    case MemoryPressure::warning:
        return "warning";
    case MemoryPressure::critical:
        return "critical";
    }
    return "normal";
}

} // namespace

void AppModel::ingestProcesses(const ProcessSampler::Sample& sample) {
    blame_.add(sample.cpuSeconds, sample.interval, sample.time);
    recordApps(sample);

    const std::set<std::string> ignored = ignoredIds();
    std::vector<AppMemory> apps;
    for (const auto& [app, bytes] : sample.footprints) {
        if (app.kind != AppKey::Kind::system && !ignored.contains(app.id)) {
            apps.emplace_back(app.id, app.displayName, bytes);
        }
    }
    std::sort(apps.begin(), apps.end(), [](const AppMemory& a, const AppMemory& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.name < b.name;
    });
    publish(memoryApps_, std::move(apps), &AppModel::memoryAppsChanged);

    pidsByApp_ = sample.pids;
    attributedPIDs_ = sample.attributedPIDs;
    // The process listings run on our own worker thread, so their cost is already part of
    // ownCPUSeconds; the sampler never delivers an interval of 0.
    publish(ownShare_, sample.ownCPUSeconds / (sample.interval * coreCount_), &AppModel::ownShareChanged);
    refreshBlame();
}

void AppModel::recordApps(const ProcessSampler::Sample& sample) {
    const std::set<std::string> ignored = ignoredIds();
    std::map<AppKey, double> cpu;
    for (const auto& entry : sample.cpuSeconds) {
        if (!ignored.contains(entry.first.id)) {
            cpu.insert(cpu.end(), entry);
        }
    }
    if (cpu.empty()) {
        return;
    }
    const std::map<AppKey, double> sweat =
        SweatAccounting::credit(cpu, sample.interval, engine_.state(), ignored);
    const Calendar calendar = services_.calendar();
    StatsLedger& ledger = stats_->ledger();
    for (const auto& [app, seconds] : cpu) {
        ledger.addCPU(seconds, app, sample.time, calendar);
    }
    for (const auto& [app, seconds] : sweat) {
        ledger.addSweat(seconds, app, sample.time, calendar);
    }
    statsChanged(sample.time);
}

void AppModel::ingestBreakdown(const SystemBreakdownSampler::Result& result) {
    // result.ownCostSeconds is not billed: unlike a child program, the listing's CPU time is spent by
    // this process and so already counted in the process sampler's ownCPUSeconds.
    const std::vector<SystemPart> parts = breakdown_.ingest(result.rows, attributedPIDs_, result.time);
    if (parts.empty()) {
        return;
    }
    std::vector<SystemPart> shown;
    for (const SystemPart& part : parts) {
        if (shown.size() == shownPartCount) {
            break;
        }
        if (part.share >= minimumPartShare) {
            shown.push_back(part);
        }
    }
    measuredSystemParts_ = std::move(shown);
    publishSystemParts();
}

void AppModel::publishSystemParts() {
    // The system row is measured over the process samples, its parts over the listings: apart, a part
    // can read more than the row it sits under. It shows no more than that row, in the order measured.
    std::vector<SystemPart> parts = measuredSystemParts_;
    const auto system = std::find_if(topApps_.begin(), topApps_.end(), [](const AppShare& entry) {
        return entry.app.kind == AppKey::Kind::system;
    });
    if (system != topApps_.end()) {
        for (SystemPart& part : parts) {
            part.share = std::min(part.share, system->share);
        }
    }
    if (parts != systemParts_) {
        publish(systemParts_, std::move(parts), &AppModel::systemPartsChanged);
    }
}

void AppModel::ingestVitals(const MachineVitals& vitals) {
    const std::optional<MachineVitals> previous = machine_;
    publish(machine_, vitals, &AppModel::machineChanged);
    const std::vector<VitalsEventKind> events = vitalsDetector_.observe(vitals);
    const double interval = previous ? vitals.date - previous->date : 0;
    vitals_->record(vitals, memoryApps_, interval);
    for (const VitalsEventKind& kind : events) {
        vitals_->ledger().recordEvent(kind, vitals.date, services_.random);
        vitals_->setDirty(true);
        vitals_->saveIfDue();
        log("VITALS: " + kind.name());
    }
    log("VITALS: " + Bytes::memory(vitals.memoryUsed) + " of " + Bytes::memory(vitals.memoryTotal) + ", " +
        pressureName(vitals.pressure) + ", " + Bytes::storage(vitals.storageFree) + " free");
}

} // namespace halvrick
