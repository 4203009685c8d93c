#pragma once

#include "core/AppKey.h"
#include "core/BlameWindow.h"
#include "core/Calendar.h"
#include "core/Config.h"
#include "core/Date.h"
#include "core/HeatState.h"
#include "core/MachineVitals.h"
#include "core/RestCoach.h"
#include "core/RestPhase.h"
#include "core/SamplerHealth.h"
#include "core/SweatEngine.h"
#include "core/SystemBreakdown.h"
#include "core/ThermalLevel.h"
#include "core/VitalsChangeDetector.h"
#include "core/VitalsDay.h"
#include "model/AppModelEnvironment.h"
#include "model/Defaults.h"
#include "model/SampleLog.h"
#include "model/StatsStore.h"
#include "model/VitalsStore.h"
#include "sampling/AppIdentity.h"
#include "sampling/MachineSampler.h"
#include "sampling/NotificationService.h"
#include "sampling/PresenceTracker.h"
#include "sampling/ProcessSampler.h"
#include "sampling/SystemBreakdownSampler.h"
#include "sampling/SystemSampler.h"
#include "sampling/WorkerQueue.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace halvrick {

// The hub of the application: owns the samplers, the core policies and the stores, turns every sample
// into the live state and publishes it. Main thread only; the interface reads the getters and redraws on
// the matching signals.
class AppModel : public QObject {
    Q_OBJECT

public:
    // Everything the model reads the world through. Scenario tests hand in samplers built on fake
    // sources, a presence tracker on fake facilities and fixed clocks; system() is the real machine.
    struct Services {
        std::unique_ptr<SystemSampler> systemSampler;
        std::unique_ptr<ProcessSampler> processSampler;
        std::unique_ptr<MachineSampler> machineSampler;
        // Runs the process listings; made before and destroyed after the breakdown sampler.
        std::unique_ptr<WorkerQueue> worker;
        std::unique_ptr<SystemBreakdownSampler> breakdownSampler;
        std::shared_ptr<PresenceTracker> presence;
        // Whether notifications may be posted and removed.
        AppIdentity identity;
        // Where the ledgers live; none keeps them in memory only.
        std::optional<QString> dataFolder;
        // The user defaults, for the ignored applications.
        std::shared_ptr<Defaults> defaults;
        // Wall time, for everything stored or shown.
        std::function<Date()> now;
        // Elapsed time between saves.
        std::function<std::chrono::steady_clock::time_point()> monotonic;
        // The user's calendar as it is now.
        std::function<Calendar()> calendar;
        // Uniform in 0..n-1.
        std::function<std::size_t(std::size_t n)> random;
        // Runs `task` once, `seconds` from now on a monotonic clock, on the main thread.
        std::function<void(double seconds, std::function<void()> task)> after;
        AppModelEnvironment::Lookup environment;
        SampleLog::Writer writeLog;
        int coreCount = 1;

        // This machine, its clocks and its environment. The worker thread and the breakdown sampler
        // are made here; the samplers start only with AppModel::start().
        static Services system();
    };

    AppModel(Config config, NotificationService& notifier, Services services);
    // The real machine.
    AppModel(Config config, NotificationService& notifier);
    ~AppModel() override;
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // Wires the samplers' and the presence tracker's callbacks to the model and starts them. Once.
    void start();

    // Republishes the engine's effective state when it changed.
    void publishState();
    void updateSamplingHealth();

    // The main tick: one CPU-load sample, in percent, taken at `at`.
    void ingestLoad(double load, Date at);
    void ingestProcesses(const ProcessSampler::Sample& sample);
    void ingestBreakdown(const SystemBreakdownSampler::Result& result);
    void ingestVitals(const MachineVitals& vitals);

    // Empties both ledgers and writes them at once.
    void resetStats();

    // Writes ignoredNames to the user defaults, in the current form only.
    void saveIgnored();

    // Published state.
    HeatState state() const { return state_; }
    double score() const { return score_; }
    double cpuLoad() const { return cpuLoad_; }
    ThermalLevel thermal() const { return thermal_; }
    std::optional<HeatState> forcedState() const { return forcedState_; }
    // A debug override of the heat state; none follows the engine again.
    void setForcedState(std::optional<HeatState> state);
    // This application's own CPU, as a share of every core.
    double ownShare() const { return ownShare_; }
    const std::vector<SystemPart>& systemParts() const { return systemParts_; }
    RestPhase restPhase() const { return restPhase_; }
    bool samplingFailed() const { return samplingFailed_; }
    bool simulatingSamplerFailure() const { return simulatingSamplerFailure_; }
    void setSimulatingSamplerFailure(bool simulating);
    // Application ids the user told the pea to ignore, with their display names.
    const std::map<std::string, std::string>& ignoredNames() const { return ignoredNames_; }
    // The popover's ignore, un-ignore and clear actions; saveIgnored() makes them last.
    void setIgnoredNames(std::map<std::string, std::string> names);
    const std::vector<AppMemory>& memoryApps() const { return memoryApps_; }
    const std::optional<MachineVitals>& machine() const { return machine_; }
    const std::string& debugReadout() const { return debugReadout_; }

    const Config& config() const { return config_; }
    StatsStore& stats() { return *stats_; }
    const StatsStore& stats() const { return *stats_; }
    VitalsStore& vitals() { return *vitals_; }
    const VitalsStore& vitals() const { return *vitals_; }
    RestCoach& coach() { return *coach_; }
    PresenceTracker& presence() { return *presence_; }
    const SweatEngine& engine() const { return engine_; }
    const BlameWindow& blame() const { return blame_; }
    bool logsSamples() const { return logsSamples_; }
    std::optional<double> debugRestInterval() const { return debugRestInterval_; }

signals:
    void stateChanged();
    void scoreChanged();
    void cpuLoadChanged();
    void thermalChanged();
    void forcedStateChanged();
    void ownShareChanged();
    void systemPartsChanged();
    void restPhaseChanged();
    void samplingFailedChanged();
    void simulatingSamplerFailureChanged();
    void ignoredNamesChanged();
    void memoryAppsChanged();
    void machineChanged();
    void debugReadoutChanged();

private:
    void recordTime(Date now);
    void recordApps(const ProcessSampler::Sample& sample);
    void updateDebugReadout(Date now);
    // After booking into the stats ledger: dirty, pruned on a new day, saved once a minute.
    void statsChanged(Date now);
    void log(const std::string& line) const;
    std::set<std::string> ignoredIds() const;
    static std::map<std::string, std::string> loadIgnoredNames(const Defaults& defaults);

    // Assigns and notifies, on every assignment.
    template <typename T, typename V> void publish(T& field, V&& value, void (AppModel::*changed)()) {
        field = std::forward<V>(value);
        emit(this->*changed)();
    }

    // Published.
    HeatState state_ = HeatState::chill;
    double score_ = 0;
    double cpuLoad_ = 0;
    ThermalLevel thermal_ = ThermalLevel::nominal;
    std::optional<HeatState> forcedState_;
    double ownShare_ = 0;
    std::vector<SystemPart> systemParts_;
    RestPhase restPhase_ = RestPhase::idle;
    bool samplingFailed_ = false;
    bool simulatingSamplerFailure_ = false;
    std::map<std::string, std::string> ignoredNames_;
    std::vector<AppMemory> memoryApps_;
    std::optional<MachineVitals> machine_;
    std::string debugReadout_;

    // Collaborators and bookkeeping.
    Config config_;
    NotificationService& notifier_;
    Services services_;
    std::unique_ptr<StatsStore> stats_;
    std::unique_ptr<VitalsStore> vitals_;
    VitalsChangeDetector vitalsDetector_;
    std::optional<Date> lastLoadSample_;
    int coreCount_;
    SweatEngine engine_;
    BlameWindow blame_;
    std::map<AppKey, std::vector<std::int32_t>> pidsByApp_;
    std::set<std::int32_t> attributedPIDs_;
    SystemBreakdown breakdown_;
    std::shared_ptr<PresenceTracker> presence_;
    std::unique_ptr<RestCoach> coach_;
    std::optional<double> debugRestInterval_;
    SamplerHealth systemHealth_{3, 2};
    SamplerHealth processHealth_{3, 2};
    bool logsSamples_;
    bool started_ = false;
};

} // namespace halvrick
