#include "sampling/LinuxAppDirectory.h"

#include <set>

namespace halvrick {

LinuxAppDirectory::LinuxAppDirectory(std::function<std::shared_ptr<const ApplicationIndex>()> applications,
                                     Sources sources)
    : applications_(applications), processReader_(std::move(sources.processReader)),
      windowCloser_(std::move(sources.windowCloser)),
      icons_(std::move(applications), std::move(sources.iconTheme)) {
    if (!processReader_) {
        processReader_ = std::make_unique<ProcProcessReader>();
    }
    if (!windowCloser_) {
        windowCloser_ = std::make_unique<X11WindowCloser>(X11Display::openSession());
    }
}

QIcon LinuxAppDirectory::icon(const AppKey& key) {
    return icons_.icon(key);
}

std::vector<RunningApplication>
LinuxAppDirectory::runningApplications(const AppKey& key, const std::vector<std::int32_t>& pids) {
    if (key.kind != AppKey::Kind::app) {
        return {};
    }
    const std::shared_ptr<const ApplicationIndex> index = applications_ ? applications_() : nullptr;
    if (!index) {
        return {};
    }
    std::vector<RunningApplication> running;
    std::set<std::int32_t> seen;
    for (const std::int32_t pid : pids) {
        if (pid <= 0 || !seen.insert(pid).second) {
            continue;
        }
        const std::optional<ProcessStat> stat = processReader_->readStat(pid);
        if (!stat || stat->isKernelThread()) {
            continue;
        }
        const std::optional<std::string> path = processReader_->readPath(pid);
        const auto sandbox = ApplicationIndex::Sandbox::fromCgroup(processReader_->readCgroup(pid));
        const ApplicationIndex::Application* app =
            index->applicationFor(path.value_or(std::string()), sandbox);
        if (app != nullptr && app->key.id == key.id) {
            running.push_back({pid, stat->startTime});
        }
    }
    return running;
}

bool LinuxAppDirectory::quit(const AppKey& key, const std::vector<std::int32_t>& pids) {
    const std::vector<RunningApplication> running = runningApplications(key, pids);
    return !running.empty() && windowCloser_->closeWindows(running);
}

} // namespace halvrick
