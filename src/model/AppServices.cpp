#include "model/AppServices.h"

#include "model/LedgerFile.h"
#include "model/SystemSound.h"
#include "sampling/LinuxAppDirectory.h"
#include "sampling/SystemTimeSource.h"

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <random>
#include <unistd.h>
#include <utility>

namespace halvrick {

namespace {

int activeProcessorCount() {
    // The same count as the CPUs summed in /proc/stat, which the samplers' loads are shares of.
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

} // namespace

AppServices AppServices::system(std::shared_ptr<Defaults> defaults) {
    AppServices services;
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

} // namespace halvrick
