#include "core/Bytes.h"
#include "core/SweatAccounting.h"
#include "model/AppModel.h"
#include "model/AppServices.h"

namespace halvrick {

namespace {

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

void AppModel::ingestProcesses(const ProcessSample& sample) {
    recordApps(sample);
    // The process listings run on our own worker thread, so their cost is already part of
    // ownCPUSeconds; the sampler never delivers an interval of 0.
    publish(ownShare_, sample.ownCPUSeconds / (sample.interval * coreCount_), &AppModel::ownShareChanged);
    blame_.ingest(sample, state_);
}

void AppModel::recordApps(const ProcessSample& sample) {
    const std::set<std::string>& ignored = blame_.ignoredIds();
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
    const Calendar calendar = services_->calendar();
    StatsLedger& ledger = stats_->ledger();
    for (const auto& [app, seconds] : cpu) {
        ledger.addCPU(seconds, app, sample.time, calendar);
    }
    for (const auto& [app, seconds] : sweat) {
        ledger.addSweat(seconds, app, sample.time, calendar);
    }
    statsChanged(sample.time);
}

void AppModel::ingestVitals(const MachineVitals& vitals) {
    const std::optional<MachineVitals> previous = machine_;
    publish(machine_, vitals, &AppModel::machineChanged);
    blame_.setPressure(vitals.pressure);
    const std::vector<VitalsEventKind> events = vitalsDetector_.observe(vitals);
    const double interval = previous ? vitals.date - previous->date : 0;
    vitals_->record(vitals, blame_.memoryApps(), interval);
    for (const VitalsEventKind& kind : events) {
        vitals_->ledger().recordEvent(kind, vitals.date, services_->random);
        vitals_->setDirty(true);
        vitals_->saveIfDue();
        log("VITALS: " + kind.name());
    }
    log("VITALS: " + Bytes::memory(vitals.memoryUsed) + " of " + Bytes::memory(vitals.memoryTotal) + ", " +
        pressureName(vitals.pressure) + ", " + Bytes::storage(vitals.storageFree) + " free");
}

} // namespace halvrick
