#include "model/AppModel.h"

#include "model/AppServices.h"
#include "model/Copy.h"
#include "model/LedgerFile.h"
#include "model/ModelLog.h"
#include "storage/SafeFile.h"

#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <string>
#include <tuple>
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

} // namespace

AppModel::AppModel(Config config, SettingsStore& settings, NotificationService& notifier,
                   std::shared_ptr<Defaults> defaults)
    : AppModel(std::move(config), settings, notifier, AppServices::system(std::move(defaults))) {}

AppModel::AppModel(Config config, SettingsStore& settings, NotificationService& notifier,
                   AppServices services)
    : config_(std::move(config)), settings_(settings), notifier_(notifier),
      services_(std::make_unique<AppServices>(std::move(services))),
      coreCount_(std::max(1, services_->coreCount)),
      logsSamples_(AppModelEnvironment::logsSamples(services_->environment)), engine_(config_),
      blame_(config_, coreCount_, *services_, settings_), headsUp_(config_),
      reminders_(services_->calendar()) {
    // The quit a user asked for and got shows on the pea.
    connect(&blame_, &BlameModel::quitAsked, this, [this] { showMomentary(FaceState::grateful, 3); });
    challenges_ = std::make_unique<ChallengeStore>(*services_->defaults);
    // What a write cut short by the end of the last run left beside the stores and the defaults.
    if (services_->dataFolder) {
        SafeFile::sweepTemporaries(*services_->dataFolder);
    }
    if (const std::optional<QString>& defaults = services_->defaults->path()) {
        SafeFile::sweepTemporaries(QFileInfo(*defaults).path());
    }
    const LedgerFile::Clocks clocks{services_->now, services_->calendar, services_->monotonic};
    stats_ = std::make_unique<StatsStore>(config_.statsRetentionDays, clocks, services_->dataFolder);
    vitals_ = std::make_unique<VitalsStore>(config_.statsRetentionDays, clocks, services_->dataFolder);
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
    line_ = lines.empty() ? std::string() : lines[services_->random(lines.size())];
    drawnPersonality_ = settings_.personality();

    presence_ = services_->presence;
    Config coachConfig = config_;
    coachConfig.restInterval = restIntervalSeconds(settings_.restIntervalMinutes());
    debugRestInterval_ = AppModelEnvironment::debugRestInterval(services_->environment);
    coach_ = std::make_unique<RestCoach>(coachConfig, std::make_shared<ClockTimeSource>(services_->now),
                                         presence_, presence_);

    activeChallenge_ = challenges_->active();
    challengeResult_ = challenges_->lastResult();

    connect(&settings_, &SettingsStore::changed, this, &AppModel::applySettings);
    applySettings();
}

AppModel::~AppModel() = default;

double AppModel::restIntervalSeconds(std::int64_t minutes) {
    return static_cast<double>(minutes) * 60;
}

void AppModel::start() {
    if (started_) {
        return;
    }
    started_ = true;
    // Callbacks hold the model weakly: whatever arrives after it is gone is dropped.
    const QPointer<AppModel> self(this);
    SystemSampler& system = *services_->systemSampler;
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
    ProcessSampler& processes = *services_->processSampler;
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
    // result.ownCostSeconds is not billed: unlike a child program, the listing's CPU time is spent by
    // this process and so already counted in the process sampler's ownCPUSeconds.
    services_->breakdownSampler->onResult = [self](const SystemBreakdownSampler::Result& result) {
        if (self) {
            self->blame_.ingestListing(result.rows, result.time);
        }
    };
    // Its health is not wired: vitals that cannot be read leave the pea's face alone.
    services_->machineSampler->onSample = [self](const MachineVitals& vitals) {
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
    services_->machineSampler->start(config_.machineSampleInterval);
}

bool AppModel::thermalSensed() const {
    return services_->systemSampler && services_->systemSampler->thermalSensed();
}

AppDirectory& AppModel::appDirectory() {
    return *services_->appDirectory;
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
            services_->playSound();
        }
    }
    publish(state_, effective, &AppModel::stateChanged);
    refreshLine();
    blame_.refresh(state_);
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

void AppModel::statsChanged(Date now) {
    stats_->setDirty(true);
    stats_->pruneIfNewDay(now);
    stats_->saveIfDue();
}

void AppModel::log(const std::string& line) const {
    if (logsSamples_) {
        log(line, services_->now());
    }
}

void AppModel::log(const std::string& line, Date at) const {
    if (logsSamples_) {
        services_->writeLog(SampleLog::stamped(line, at, services_->calendar()));
    }
}

} // namespace halvrick
