#pragma once

#include "SamplingFakes.h"
#include "model/AppModel.h"
#include "model/AppServices.h"
#include "sampling/NotificationService.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace halvrick::fakes {

using namespace std::chrono_literals;

// One application object per test process: the one the test program made (the widget tests make a
// QApplication before any test runs), else one made on first use.
inline QCoreApplication& testApplication() {
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "halvrick_model_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The world the model reads: wall and monotonic clocks that move together, the user's input and
// whereabouts, delayed tasks, the random picks, the environment and the log. Must outlive the model.
class FakeWorld {
public:
    Calendar calendar{"Europe/Berlin"};
    Date now = calendar.date(2026, 3, 5, 9, 0, 0);
    std::chrono::steady_clock::time_point monotonic{std::chrono::hours(1000)};

    // While typing, every moment has input; once it stops, idle time grows from the last moment typed.
    bool typing = true;
    Date lastInput = now;
    bool microphoneInUse = false;
    bool fullScreen = false;
    std::map<std::string, std::string> environment;
    std::vector<std::string> logLines;
    // Random picks take these in turn, over and over (each modulo n); 0 when there are none.
    std::vector<std::size_t> picks;
    std::optional<QString> dataFolder;
    std::shared_ptr<Defaults> defaults = std::make_shared<Defaults>(std::nullopt);
    AppIdentity identity;
    int soundsPlayed = 0;
    // Runs on the worker thread: set it before the model measures, not while it does.
    std::function<FolderSizer::Result()> measureFolders = [] { return FolderSizer::Result(); };
    // What the application directory was asked to quit, and whether it manages.
    std::vector<std::pair<AppKey, std::vector<std::int32_t>>> quitRequests;
    bool quitSucceeds = true;
    // The machine has a thermal sensor to read.
    bool thermalSensor = true;
    // Ids of applications whose sampled processes have ended since.
    std::set<std::string> goneApps;
    int coreCount = 4;

    // Set by the model's start(): tells the tracker the user went away (true) or came back.
    PresenceSignalSource::Observer presenceSignal;
    // The samplers handed to the model, to call what the model wired into them.
    SystemSampler* systemSampler = nullptr;
    ProcessSampler* processSampler = nullptr;
    MachineSampler* machineSampler = nullptr;
    SystemBreakdownSampler* breakdownSampler = nullptr;
    // Their timers, to see what the model started.
    ManualTimer* systemTimer = nullptr;
    ManualTimer* processTimer = nullptr;
    ManualTimer* machineTimer = nullptr;
    ManualTimer* breakdownTimer = nullptr;

    double monotonicSeconds() const {
        return std::chrono::duration<double>(monotonic.time_since_epoch()).count();
    }

    // Moves both clocks and runs the delayed tasks that fall due, in order.
    void advance(double seconds) {
        const double target = monotonicSeconds() + seconds;
        for (;;) {
            auto next = std::min_element(tasks_.begin(), tasks_.end(),
                                         [](const Task& a, const Task& b) { return a.due < b.due; });
            if (next == tasks_.end() || next->due > target) {
                break;
            }
            Task task = std::move(*next);
            tasks_.erase(next);
            moveTo(task.due);
            task.run();
        }
        moveTo(target);
    }

    std::size_t pendingTasks() const { return tasks_.size(); }

    AppModel::Services services();

private:
    struct Task {
        double due;
        std::function<void()> run;
    };

    void moveTo(double monotonicTarget) {
        const double step = monotonicTarget - monotonicSeconds();
        now += step;
        monotonic +=
            std::chrono::round<std::chrono::steady_clock::duration>(std::chrono::duration<double>(step));
        if (typing) {
            lastInput = now;
        }
    }

    std::vector<Task> tasks_;
    std::size_t nextPick_ = 0;
};

// Records what it is asked to quit and answers as told.
class FakeAppDirectory : public AppDirectory {
public:
    explicit FakeAppDirectory(FakeWorld& world) : world_(world) {}
    QIcon icon(const AppKey&) override { return {}; }
    // Every sampled process still runs, unless the world says the application has gone.
    std::vector<RunningApplication> runningApplications(const AppKey& key,
                                                        const std::vector<std::int32_t>& pids) override;
    bool quit(const AppKey& key, const std::vector<std::int32_t>& pids) override;

private:
    FakeWorld& world_;
};

class FakeThermal : public ThermalSource {
public:
    explicit FakeThermal(const FakeWorld& world) : world_(world) {}
    int thermalState() override { return 0; }
    bool hasSensor() const override { return world_.thermalSensor; }

private:
    const FakeWorld& world_;
};

class FakeIdle : public IdleReader {
public:
    explicit FakeIdle(FakeWorld& world) : world_(world) {}
    std::optional<double> idleSeconds() override { return world_.typing ? 0 : world_.now - world_.lastInput; }

private:
    FakeWorld& world_;
};

class FakeMicrophone : public MicrophoneProbe {
public:
    explicit FakeMicrophone(FakeWorld& world) : world_(world) {}
    bool isMicrophoneInUse() override { return world_.microphoneInUse; }

private:
    FakeWorld& world_;
};

class FakeFullScreen : public FullScreenProbe {
public:
    explicit FakeFullScreen(FakeWorld& world) : world_(world) {}
    bool isFullScreenAppInFront() override { return world_.fullScreen; }

private:
    FakeWorld& world_;
};

class FakeSignals : public PresenceSignalSource {
public:
    explicit FakeSignals(FakeWorld& world) : world_(world) {}
    void start(Observer observer) override { world_.presenceSignal = std::move(observer); }

private:
    FakeWorld& world_;
};

inline std::vector<RunningApplication> FakeAppDirectory::runningApplications(const AppKey& key,
                                                                         const std::vector<std::int32_t>& pids) {
    std::vector<RunningApplication> running;
    if (!world_.goneApps.contains(key.id)) {
        for (const std::int32_t pid : pids) {
            running.push_back({pid, 0});
        }
    }
    return running;
}

inline bool FakeAppDirectory::quit(const AppKey& key, const std::vector<std::int32_t>& pids) {
    world_.quitRequests.emplace_back(key, pids);
    return world_.quitSucceeds;
}

inline AppModel::Services FakeWorld::services() {
    testApplication();
    AppModel::Services s;
    s.appDirectory = std::make_unique<FakeAppDirectory>(*this);
    auto wall = [this] { return now; };

    auto systemTimer = std::make_unique<ManualTimer>();
    this->systemTimer = systemTimer.get();
    s.systemSampler =
        std::make_unique<SystemSampler>(std::make_unique<FakeTicks>(), std::make_unique<FakeThermal>(*this),
                                        std::move(systemTimer), std::make_unique<ManualTimer>(), wall);
    systemSampler = s.systemSampler.get();

    ProcessSampler::Sources sources;
    sources.tickReader = std::make_unique<FakeTicks>();
    sources.processLister = std::make_unique<FakeLister>();
    sources.processReader = std::make_unique<FakeProcessReader>();
    auto processTimer = std::make_unique<ManualTimer>();
    this->processTimer = processTimer.get();
    sources.timer = std::move(processTimer);
    sources.wallClock = wall;
    sources.monotonicClock = [this] { return monotonicSeconds(); };
    sources.applications = [index = std::make_shared<const ApplicationIndex>()] { return index; };
    sources.coreCount = coreCount;
    sources.ownPID = FakeLister::ownPID;
    s.processSampler = std::make_unique<ProcessSampler>(std::move(sources));
    processSampler = s.processSampler.get();

    auto machineTimer = std::make_unique<ManualTimer>();
    this->machineTimer = machineTimer.get();
    auto readings = std::make_unique<FakeReadings>();
    readings->memory = MemoryReading{8ULL << 30, 4ULL << 30, 1ULL << 30};
    readings->swap = 0;
    readings->storage = StorageReading{500'000'000'000, 200'000'000'000};
    s.machineSampler = std::make_unique<MachineSampler>(std::move(readings), std::move(machineTimer), wall,
                                                        [this] { return monotonic; });
    machineSampler = s.machineSampler.get();

    s.worker = std::make_unique<WorkerQueue>("halvrick.test");
    s.folderWorker = std::make_unique<WorkerQueue>("halvrick.twalks");
    auto breakdownTimer = std::make_unique<ManualTimer>();
    this->breakdownTimer = breakdownTimer.get();
    s.breakdownSampler = std::make_unique<SystemBreakdownSampler>(
        *s.worker, std::make_shared<FakeListing>(), std::move(breakdownTimer), wall, [] { return 0.0; });
    breakdownSampler = s.breakdownSampler.get();

    PresenceTracker::Facilities facilities;
    facilities.idleReaders.push_back(std::make_unique<FakeIdle>(*this));
    facilities.microphone = std::make_unique<FakeMicrophone>(*this);
    facilities.fullScreen = std::make_unique<FakeFullScreen>(*this);
    facilities.signalSources.push_back(std::make_unique<FakeSignals>(*this));
    facilities.monotonicNow = [this] { return monotonicSeconds(); };
    facilities.wallNow = wall;
    facilities.calendar = [this] { return calendar; };
    s.presence = std::make_shared<PresenceTracker>(std::move(facilities));

    s.identity = identity;
    s.dataFolder = dataFolder;
    s.defaults = defaults;
    s.now = wall;
    s.monotonic = [this] { return monotonic; };
    s.calendar = [this] { return calendar; };
    s.random = [this](std::size_t n) {
        const std::size_t pick = picks.empty() ? 0 : picks[nextPick_++ % picks.size()];
        return n == 0 ? 0 : pick % n;
    };
    s.after = [this](double seconds, std::function<void()> task) {
        tasks_.push_back({monotonicSeconds() + seconds, std::move(task)});
    };
    s.playSound = [this] { ++soundsPlayed; };
    s.measureFolders = [this](std::stop_token) { return measureFolders(); };
    s.environment = [this](const char* key) -> std::optional<std::string> {
        const auto it = environment.find(key);
        return it == environment.end() ? std::nullopt : std::optional(it->second);
    };
    s.writeLog = [this](const std::string& line) { logLines.push_back(line); };
    s.coreCount = coreCount;
    return s;
}

inline AppKey app(const std::string& name) {
    return {AppKey::Kind::app, "/usr/share/applications/" + name + ".desktop", name};
}

// A process sample of `interval` seconds in which each app used the given share of one core.
inline ProcessSampler::Sample processSample(Date time, double interval,
                                            const std::vector<std::pair<AppKey, double>>& coreShares) {
    ProcessSampler::Sample sample;
    sample.time = time;
    sample.interval = interval;
    for (const auto& [key, share] : coreShares) {
        sample.cpuSeconds[key] = share * interval;
    }
    return sample;
}

// A model over a fake world; tests make it once they have set the world up.
class ModelTest : public testing::Test {
protected:
    struct Spoken {
        std::string text;
        PeaFace face;
        double duration;
    };

    // Makes the model and listens to the status item's callbacks.
    void make(const Config& config = Config::defaults()) {
        model.reset();
        settings = std::make_unique<SettingsStore>(*world.defaults);
        model = std::make_unique<AppModel>(config, *settings, notifier, world.services());
        model->onHeadsUp = [this](const std::string& text, const PeaFace& face, double duration) {
            spoken.push_back({text, face, duration});
        };
        model->onMenuFaceChange = [this](const PeaFace& face) { menuFaces.push_back(face); };
        model->onRestPhaseChange = [this](RestPhase phase) { phases.push_back(phase); };
    }

    std::vector<std::string> spokenTexts() const {
        std::vector<std::string> texts;
        for (const Spoken& s : spoken) {
            texts.push_back(s.text);
        }
        return texts;
    }

    // One main tick: both clocks move on, then the CPU-load sampler reports `load`.
    void tick(double load, double seconds = 1) {
        world.advance(seconds);
        model->ingestLoad(load, world.now);
    }

    FakeWorld world;
    FakeNotifier notifier;
    // Over the world's defaults: set keys there before make(), or change settings after.
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AppModel> model;
    std::vector<Spoken> spoken;
    std::vector<PeaFace> menuFaces;
    std::vector<RestPhase> phases;
};

} // namespace halvrick::fakes
