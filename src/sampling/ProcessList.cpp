#include "sampling/ProcessList.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace halvrick {

namespace {

std::vector<std::int32_t> pidsIn(DIR* dir) {
    std::vector<std::int32_t> pids;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        const char* end = name + std::strlen(name);
        std::int32_t pid = 0;
        const auto [last, ec] = std::from_chars(name, end, pid);
        if (ec == std::errc{} && last == end && name[0] >= '0' && name[0] <= '9') {
            pids.push_back(pid);
        }
    }
    // /proc gives them in ascending order, so the sort is rarely needed.
    if (!std::is_sorted(pids.begin(), pids.end())) {
        std::sort(pids.begin(), pids.end());
    }
    pids.erase(std::unique(pids.begin(), pids.end()), pids.end());
    return pids;
}

} // namespace

std::vector<std::int32_t> ProcessList::allPIDs(const std::string& procRoot) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(procRoot.c_str()), closedir);
    return dir ? pidsIn(dir.get()) : std::vector<std::int32_t>();
}

ProcProcessLister::ProcProcessLister(std::string procRoot)
    : procRoot_(std::move(procRoot)), dir_(opendir(procRoot_.c_str()), closedir) {}

std::vector<std::int32_t> ProcProcessLister::allPIDs() {
    if (dir_) {
        rewinddir(dir_.get());
    } else {
        dir_.reset(opendir(procRoot_.c_str()));
        if (!dir_) {
            return {};
        }
    }
    std::vector<std::int32_t> pids = pidsIn(dir_.get());
    if (pids.empty()) {
        // A folder that lists nothing may have been replaced: the next listing opens it afresh.
        dir_.reset();
    }
    return pids;
}

} // namespace halvrick
