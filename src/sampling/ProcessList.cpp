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
    : procRoot_(std::move(procRoot)), dir_(opendir(procRoot_.c_str()), closedir),
      loadavg_(procRoot_ + "/loadavg") {}

std::optional<std::string> ProcProcessLister::taskMark(std::string_view loadavgText) {
    // The fourth field is running/threads, the fifth the newest pid; the running count moves all the time.
    const std::size_t slash = loadavgText.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view mark = loadavgText.substr(slash + 1);
    mark = mark.substr(0, mark.find('\n'));
    const std::size_t space = mark.find(' ');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (space == std::string_view::npos || !digits(mark.substr(0, space)) ||
        !digits(mark.substr(space + 1))) {
        return std::nullopt;
    }
    return std::string(mark);
}

std::vector<std::int32_t> ProcProcessLister::allPIDs() {
    char buffer[128];
    const auto text = loadavg_.read(buffer, sizeof buffer);
    std::optional<std::string> mark = text ? taskMark(*text) : std::nullopt;
    if (mark && mark == lastMark_ && !last_.empty()) {
        return last_;
    }
    last_ = list();
    lastMark_ = std::move(mark);
    return last_;
}

std::vector<std::int32_t> ProcProcessLister::list() {
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
