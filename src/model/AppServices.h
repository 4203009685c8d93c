#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "model/AppModelEnvironment.h"
#include "model/Defaults.h"
#include "model/SampleLog.h"
#include "sampling/AppDirectory.h"
#include "sampling/AppIdentity.h"
#include "sampling/ApplicationIndexWatcher.h"
#include "sampling/FolderSizer.h"
#include "sampling/MachineSampler.h"
#include "sampling/PresenceTracker.h"
#include "sampling/ProcessSampler.h"
#include "sampling/SystemBreakdownSampler.h"
#include "sampling/SystemSampler.h"
#include "sampling/WorkerQueue.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace halvrick {

// Everything the model reads the world through. Scenario tests hand in samplers built on fake
// sources, a presence tracker on fake facilities and fixed clocks; system() is the real machine.
struct AppServices {
    // The installed applications, kept current for the process sampler and the directory; made before
    // and destroyed after both.
    std::unique_ptr<ApplicationIndexWatcher> applications;
    std::unique_ptr<AppDirectory> appDirectory;
    std::unique_ptr<SystemSampler> systemSampler;
    std::unique_ptr<ProcessSampler> processSampler;
    std::unique_ptr<MachineSampler> machineSampler;
    // Runs the process sweeps and listings; destroyed after the breakdown sampler and before the
    // process sampler.
    std::unique_ptr<WorkerQueue> worker;
    // Runs the folder walks, which can take minutes on a slow disk, so that no walk holds up a sweep.
    std::unique_ptr<WorkerQueue> folderWorker;
    std::unique_ptr<SystemBreakdownSampler> breakdownSampler;
    std::shared_ptr<PresenceTracker> presence;
    // Whether notifications may be posted and removed.
    AppIdentity identity;
    // Where the ledgers live; none keeps them in memory only.
    std::optional<QString> dataFolder;
    // The user defaults, for the challenges, the ignored applications and the weekly-summary mark.
    std::shared_ptr<Defaults> defaults;
    // Wall time, for everything stored or shown.
    std::function<Date()> now;
    // Elapsed times: between saves, of the cool-down.
    std::function<std::chrono::steady_clock::time_point()> monotonic;
    // The user's calendar as it is now.
    std::function<Calendar()> calendar;
    // Uniform in 0..n-1.
    std::function<std::size_t(std::size_t n)> random;
    // Runs `task` once, `seconds` from now on a monotonic clock, on the main thread.
    std::function<void(double seconds, std::function<void()> task)> after;
    // The system sound played after a cool-down and when the heat breaks.
    std::function<void()> playSound;
    // Walks the user's folders on the folder worker; ends soon once the token asks it to stop.
    std::function<FolderSizer::Result(std::stop_token stop)> measureFolders;
    AppModelEnvironment::Lookup environment;
    SampleLog::Writer writeLog;
    int coreCount = 1;

    // This machine, its clocks and its environment; `defaults` are the standard user defaults. The
    // samplers start only with AppModel::start().
    static AppServices system(std::shared_ptr<Defaults> defaults);
};

} // namespace halvrick
