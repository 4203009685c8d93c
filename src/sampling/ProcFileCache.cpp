#include "sampling/ProcFileCache.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace halvrick {

namespace {

std::size_t limitBeside(rlim_t soft) {
    if (soft == RLIM_INFINITY) {
        return ProcFileCache::largestLimit;
    }
    const auto descriptors = static_cast<std::size_t>(soft);
    return descriptors > ProcFileCache::reservedDescriptors
               ? std::min(descriptors - ProcFileCache::reservedDescriptors, ProcFileCache::largestLimit)
               : 0;
}

std::size_t currentLimit() {
    rlimit limits{};
    return ::getrlimit(RLIMIT_NOFILE, &limits) == 0 ? limitBeside(limits.rlim_cur) : 0;
}

// Up to the hard limit, but no further than the cache can use.
std::size_t raisedLimit() {
    rlimit limits{};
    if (::getrlimit(RLIMIT_NOFILE, &limits) != 0) {
        return 0;
    }
    constexpr auto wanted = static_cast<rlim_t>(ProcFileCache::largestLimit + ProcFileCache::reservedDescriptors);
    if (limits.rlim_cur != RLIM_INFINITY && limits.rlim_cur < wanted && limits.rlim_cur < limits.rlim_max) {
        rlimit raised = limits;
        raised.rlim_cur = limits.rlim_max == RLIM_INFINITY ? wanted : std::min(limits.rlim_max, wanted);
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) {
            limits = raised;
        }
    }
    return limitBeside(limits.rlim_cur);
}

// A single read: a /proc file gives all it holds at once, up to the size asked for.
std::optional<std::string_view> readStart(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, size, 0);
        if (n >= 0) {
            return std::string_view(buffer, static_cast<std::size_t>(n));
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

} // namespace

ProcFileCache::ProcFileCache(std::optional<std::size_t> limit)
    : limit_(limit ? *limit : currentLimit()), mayRaiseLimit_(!limit) {}

ProcFileCache::~ProcFileCache() {
    for (auto& [pid, entry] : entries_) {
        closeAll(entry);
    }
}

std::string_view ProcFileCache::leaf(File file) {
    switch (file) {
    case File::stat:
        return "stat";
    case File::status:
        return "status";
    case File::statm:
        return "statm";
    case File::schedstat:
        return "schedstat";
    }
    return "stat";
}

int ProcFileCache::open(int procFD, std::int32_t pid, std::string_view leaf) {
    std::array<char, 40> path{};
    if (procFD < 0 || pid <= 0 || leaf.size() > path.size() - 16) {
        return -1;
    }
    char* end = std::to_chars(path.data(), path.data() + 12, pid).ptr;
    *end++ = '/';
    std::memcpy(end, leaf.data(), leaf.size());
    return ::openat(procFD, path.data(), O_RDONLY | O_CLOEXEC);
}

std::optional<std::string_view> ProcFileCache::read(int procFD, std::int32_t pid, File file, char* buffer,
                                                    std::size_t size) {
    if (const auto it = entries_.find(pid); it != entries_.end()) {
        Entry& entry = it->second;
        if (entry[file] >= 0) {
            if (const auto text = readStart(entry[file], buffer, size)) {
                entry.sweep = sweep_;
                return text;
            }
            // The process these were opened for has ended; the pid may already name another.
            closeAll(entry);
        }
        if (entry.isEmpty()) {
            entries_.erase(it);
        }
    }
    const int fd = open(procFD, pid, leaf(file));
    if (fd < 0) {
        return std::nullopt;
    }
    const auto text = readStart(fd, buffer, size);
    if (!text || !hasRoom()) {
        ::close(fd);
        return text;
    }
    Entry& entry = entries_[pid];
    entry[file] = fd;
    entry.sweep = sweep_;
    ++openCount_;
    return text;
}

std::size_t ProcFileCache::openFor(std::int32_t pid) const {
    const auto it = entries_.find(pid);
    if (it == entries_.end()) {
        return 0;
    }
    const Entry& entry = it->second;
    return static_cast<std::size_t>((entry.stat >= 0) + (entry.status >= 0) + (entry.statm >= 0) +
                                    (entry.schedstat >= 0));
}

void ProcFileCache::endSweep() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.sweep == sweep_) {
            ++it;
        } else {
            closeAll(it->second);
            it = entries_.erase(it);
        }
    }
    ++sweep_;
}

void ProcFileCache::close(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
        --openCount_;
    }
}

void ProcFileCache::closeAll(Entry& entry) {
    close(entry.stat);
    close(entry.status);
    close(entry.statm);
    close(entry.schedstat);
}

bool ProcFileCache::hasRoom() {
    if (openCount_ < limit_) {
        return true;
    }
    if (mayRaiseLimit_) {
        mayRaiseLimit_ = false;
        limit_ = std::max(limit_, raisedLimit());
    }
    return openCount_ < limit_;
}

} // namespace halvrick
