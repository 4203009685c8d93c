#include "model/AppModel.h"

#include "model/Copy.h"
#include "model/LedgerFile.h"
#include "model/ModelLog.h"
#include "model/SystemSound.h"
#include "sampling/LinuxAppDirectory.h"
#include "sampling/SystemTimeSource.h"
#include "storage/SafeFile.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace halvrick {

namespace {

// The rest coach reads the same wall clock as the rest of the model.
class ClockTimeSource : public TimeSource {
public:
    explicit ClockTimeSource(std::function<Date()> now) : now_(std::move(now)) {}
    Date now() const override { return now_(); }

private:
    std::function<Date()> now_;
};

constexpr std::string_view bundleSuffix = ".app";

// The last non-empty component of a path; the whole text when it has none.
std::string lastComponent(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) {
        return path;
    }
    const std::size_t slash = path.find_last_of('/', end);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(begin, end + 1 - begin);
}

// In any letter case.
bool endsWithBundleSuffix(std::string_view name) {
    if (name.size() < bundleSuffix.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - bundleSuffix.size());
    return std::equal(tail.begin(), tail.end(), bundleSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

int activeProcessorCount() {
    // The same count as the CPUs summed in /proc/stat, which the samplers' loads are shares of.
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

} // namespace

AppModel::Services AppModel::Services::system(std::shared_ptr<Defaults> defaults) {
    Services services;
    services.applications = std::make_unique<ApplicationIndexWatcher>();
    const auto applications = [watcher = services.applications.get()] { return watcher->current(); };
    services.appDirectory = std::make_unique<LinuxAppDirectory>(applications);
    services.systemSampler = std::make_unique<SystemSampler>();
    services.worker = std::make_unique<WorkerQueue>();
    services.folderWorker = std::make_unique<WorkerQueue>("halvrick.walks");
    ProcessSampler::Sources sources;
    sources.applications = applications;
    sources.executor = ProcessSampler::on(*services.worker);
    services.processSampler = std::make_unique<ProcessSampler>(std::move(sources));
    services.machineSampler = std::make_unique<MachineSampler>();
    services.breakdownSampler = std::make_unique<SystemBreakdownSampler>(*services.worker);
    services.presence = std::make_shared<PresenceTracker>();
    services.dataFolder = LedgerFile::applicationSupportFolder();
    services.defaults = std::move(defaults);
    services.now = [] { return SystemTimeSource().now(); };
    services.monotonic = [] { return std::chrono::steady_clock::now(); };
    services.calendar = &SystemTimeSource::currentCalendar;
    services.random = [engine = std::make_shared<std::mt19937_64>(std::random_device{}())](std::size_t n) {
        return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(*engine);
    };
    services.after = [](double seconds, std::function<void()> task) {
        QTimer::singleShot(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)), std::move(task));
    };
    services.playSound = &SystemSound::play;
    services.measureFolders = [](std::stop_token stop) { return FolderSizer::measure(std::move(stop)); };
    services.environment = &AppModelEnvironment::processVariable;
    services.writeLog = &SampleLog::writeToStandardOutput;
    services.coreCount = activeProcessorCount();
    return services;
}

AppModel::AppModel(Config config, SettingsStore& settings, NotificationService& notifier,
                   std::shared_ptr<Defaults> defaults)
    : AppModel(std::move(config), settings, notifier, Services::system(std::move(defaults))) {}

AppModel::AppModel(Config config, SettingsStore& settings, NotificationService& notifier, Services services)
    : blameLine_(Copy::blameLine(std::nullopt, Personality::mild, services.random)),
      config_(std::move(config)), settings_(settings), notifier_(notifier), services_(std::move(services)),
      coreCount_(std::max(1, services_.coreCount)),
      logsSamples_(AppModelEnvironment::logsSamples(services_.environment)), engine_(config_),
      blame_(coreCount_, config_), headsUp_(config_), breakdown_(coreCount_),
      reminders_(services_.calendar()) {
    challenges_ = std::make_unique<ChallengeStore>(*services_.defaults);
    // What a write cut short by the end of the last run left beside the stores and the defaults.
    if (services_.dataFolder) {
        SafeFile::sweepTemporaries(*services_.dataFolder);
    }
    if (const std::optional<QString>& defaults = services_.defaults->path()) {
        SafeFile::sweepTemporaries(QFileInfo(*defaults).path());
    }
    const LedgerFile::Clocks clocks{services_.now, services_.calendar, services_.monotonic};
    stats_ = std::make_unique<StatsStore>(config_.statsRetentionDays, clocks, services_.dataFolder);
    vitals_ = std::make_unique<VitalsStore>(config_.statsRetentionDays, clocks, services_.dataFolder);
    for (const auto& [file, mended, original] :
         {std::tuple("stats.json", stats_->mendedFigures(), stats_->originalPath()),
          std::tuple("vitals.json", vitals_->mendedFigures(), vitals_->originalPath())}) {
        if (mended > 0) {
            log(std::string("LEDGER: ") + file + " holds " + std::to_string(mended) +
                " figures out of range; each counts as the nearest one in range; the file as read is kept " +
                (original ? "as " + original->toStdString() : std::string("once it can be written")));
        }
    }

    const std::vector<std::string> lines = Copy::heatLines(HeatState::chill, settings_.personality());
    line_ = lines.empty() ? std::string() : lines[services_.random(lines.size())];
    drawnPersonality_ = settings_.personality();

    presence_ = services_.presence;
    Config coachConfig = config_;
    coachConfig.restInterval = restIntervalSeconds(settings_.restIntervalMinutes());
    debugRestInterval_ = AppModelEnvironment::debugRestInterval(services_.environment);
    coach_ = std::make_unique<RestCoach>(coachConfig, std::make_shared<ClockTimeSource>(services_.now),
                                         presence_, presence_);

    ignoredNames_ = loadIgnoredNames(*services_.defaults);
    activeChallenge_ = challenges_->active();
    challengeResult_ = challenges_->lastResult();
}

AppModel::~AppModel() = default;

double AppModel::restIntervalSeconds(std::int64_t minutes) {
    return static_cast<double>(SettingsStore::saneRestInterval(minutes)) * 60;
}

void AppModel::start() {
    if (started_) {
        return;
    }
    started_ = true;
    // Callbacks hold the model weakly: whatever arrives after it is gone is dropped.
    const QPointer<AppModel> self(this);
    SystemSampler& system = *services_.systemSampler;
    system.onSample = [self](double load, Date at) {
        if (self) {
            self->ingestLoad(load, at);
        }
    };
    system.onThermalChange = [self](ThermalLevel level) {
        if (self) {
            self->engine_.setThermal(level);
            self->publish(self->thermal_, level, &AppModel::thermalChanged);
        }
    };
    system.onHealth = [self](bool ok) {
        if (self) {
            self->systemHealth_.record(ok);
            self->updateSamplingHealth();
        }
    };
    ProcessSampler& processes = *services_.processSampler;
    processes.onSample = [self](const ProcessSampler::Sample& sample) {
        if (self) {
            self->ingestProcesses(sample);
        }
    };
    processes.onHealth = [self](bool ok) {
        if (self) {
            self->processHealth_.record(ok);
            self->updateSamplingHealth();
        }
    };
    services_.breakdownSampler->onResult = [self](const SystemBreakdownSampler::Result& result) {
        if (self) {
            self->ingestBreakdown(result);
        }
    };
    // Its health is not wired: vitals that cannot be read leave the pea's face alone.
    services_.machineSampler->onSample = [self](const MachineVitals& vitals) {
        if (self) {
            self->ingestVitals(vitals);
        }
    };
    presence_->onPresenceLost = [self] {
        if (self) {
            self->presenceLost();
        }
    };
    presence_->onPresenceRestored = [self] {
        if (self) {
            self->showMomentary(FaceState::wakingUp, 2);
        }
    };

    presence_->start();
    system.start(config_.systemSampleInterval);
    processes.start(config_.processSampleInterval);
    services_.machineSampler->start(config_.machineSampleInterval);
}

void AppModel::publishState() {
    const HeatState effective = engine_.displayedState();
    if (effective == state_) {
        return;
    }
    const bool wasHot = state_ == HeatState::sweating || state_ == HeatState::meltdown;
    if (effective < state_ && wasHot && !momentaryFace_) {
        showMomentary(FaceState::coolingDown, 1.2);
        if (settings_.soundsEnabled()) {
            services_.playSound();
        }
    }
    publish(state_, effective, &AppModel::stateChanged);
    refreshLine();
    refreshBlame();
    refreshMenuFace();
}

void AppModel::setForcedState(std::optional<HeatState> state) {
    publish(forcedState_, state, &AppModel::forcedStateChanged);
    engine_.setForcedState(state);
    publishState();
}

void AppModel::updateSamplingHealth() {
    const bool failed =
        simulatingSamplerFailure_ || systemHealth_.isDegraded() || processHealth_.isDegraded();
    if (failed == samplingFailed_) {
        return;
    }
    if (failed && !simulatingSamplerFailure_) {
        qCWarning(modelLog) << "Sampling has failed: the CPU load"
                            << (systemHealth_.isDegraded() ? "cannot" : "can") << "be read, the processes"
                            << (processHealth_.isDegraded() ? "cannot" : "can");
    } else {
        qCDebug(modelLog) << (failed ? "Sampling failure simulated" : "Sampling works again");
    }
    publish(samplingFailed_, failed, &AppModel::samplingFailedChanged);
    refreshLine();
    refreshMenuFace();
}

void AppModel::setSimulatingSamplerFailure(bool simulating) {
    publish(simulatingSamplerFailure_, simulating, &AppModel::simulatingSamplerFailureChanged);
    updateSamplingHealth();
}

void AppModel::resetStats() {
    stats_->reset();
    vitals_->reset();
}

std::map<std::string, std::string> AppModel::loadIgnoredNames(const Defaults& defaults) {
    std::map<std::string, std::string> names =
        defaults.getStringMap("ignoredAppNames").value_or(std::map<std::string, std::string>());
    // The older list held ids only; an id is a path, so its last component names the application.
    for (const std::string& id : defaults.getStringList("ignoredApps").value_or(std::vector<std::string>())) {
        if (names.contains(id)) {
            continue;
        }
        std::string name = lastComponent(id);
        if (endsWithBundleSuffix(name)) {
            name.resize(name.size() - bundleSuffix.size());
        }
        names.emplace(id, std::move(name));
    }
    return names;
}

void AppModel::statsChanged(Date now) {
    stats_->setDirty(true);
    stats_->pruneIfNewDay(now);
    stats_->saveIfDue();
}

void AppModel::log(const std::string& line) const {
    if (logsSamples_) {
        log(line, services_.now());
    }
}

void AppModel::log(const std::string& line, Date at) const {
    if (logsSamples_) {
        services_.writeLog(SampleLog::stamped(line, at, services_.calendar()));
    }
}

std::set<std::string> AppModel::ignoredIds() const {
    std::set<std::string> ids;
    for (const auto& entry : ignoredNames_) {
        ids.insert(ids.end(), entry.first);
    }
    return ids;
}

} // namespace halvrick
