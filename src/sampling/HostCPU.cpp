#include "sampling/HostCPU.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>

namespace halvrick {

namespace {

int openStat(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }

} // namespace

std::optional<HostCPU::Ticks> HostCPU::parseStatLine(std::string_view line) {
    if (!line.starts_with("cpu ")) {
        return std::nullopt;
    }
    // user nice system idle iowait irq softirq steal; guest and guest_nice are already inside user
    // and nice, so they are never added.
    std::array<std::uint64_t, 8> v{};
    std::size_t count = 0;
    const char* p = line.data() + 4;
    const char* end = line.data() + line.size();
    while (count < v.size()) {
        while (p < end && *p == ' ') {
            ++p;
        }
        if (p == end) {
            break;
        }
        const auto [next, ec] = std::from_chars(p, end, v[count]);
        if (ec != std::errc{}) {
            return std::nullopt;
        }
        p = next;
        ++count;
    }
    if (count < 4) {
        return std::nullopt;
    }
    const std::uint64_t busy = v[0] + v[1] + v[2] + v[5] + v[6] + v[7];
    return Ticks{busy, busy + v[3] + v[4]};
}

std::optional<HostCPU::Ticks> HostCPU::readTicks(const std::string& procRoot) {
    const int fd = openStat(procRoot + "/stat");
    if (fd < 0) {
        return std::nullopt;
    }
    const auto ticks = readTicksAt(fd);
    ::close(fd);
    return ticks;
}

std::optional<HostCPU::Ticks> HostCPU::readTicksAt(int fd) {
    // The first line holds ten counters of at most twenty digits each.
    std::array<char, 512> buffer{};
    ssize_t n = 0;
    do {
        n = ::pread(fd, buffer.data(), buffer.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        return std::nullopt;
    }
    const std::string_view text(buffer.data(), static_cast<std::size_t>(n));
    return parseStatLine(text.substr(0, text.find('\n')));
}

ProcTickReader::ProcTickReader(std::string procRoot) : path_(std::move(procRoot) + "/stat"), fd_(openStat(path_)) {}

ProcTickReader::~ProcTickReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<HostCPU::Ticks> ProcTickReader::readTicks() {
    if (fd_ >= 0) {
        if (const auto ticks = HostCPU::readTicksAt(fd_)) {
            return ticks;
        }
        ::close(fd_);
    }
    // Missing when this reader was made, or no longer readable: open it afresh.
    fd_ = openStat(path_);
    return fd_ >= 0 ? HostCPU::readTicksAt(fd_) : std::nullopt;
}

double HostCPU::ticksPerSecond() {
    static const double value = [] {
        const long hz = sysconf(_SC_CLK_TCK);
        return hz > 0 ? static_cast<double>(hz) : 100.0;
    }();
    return value;
}

} // namespace halvrick
