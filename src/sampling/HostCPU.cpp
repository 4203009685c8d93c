#include "sampling/HostCPU.h"

#include <unistd.h>

#include <array>
#include <charconv>

namespace halvrick {

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
    KeptFile statFile(procRoot + "/stat");
    return readTicks(statFile);
}

std::optional<HostCPU::Ticks> HostCPU::readTicks(KeptFile& statFile) {
    // The first line holds ten counters of at most twenty digits each.
    std::array<char, 512> buffer{};
    const auto text = statFile.read(buffer.data(), buffer.size());
    return text ? parseStatLine(text->substr(0, text->find('\n'))) : std::nullopt;
}

double HostCPU::ticksPerSecond() {
    static const double value = [] {
        const long hz = sysconf(_SC_CLK_TCK);
        return hz > 0 ? static_cast<double>(hz) : 100.0;
    }();
    return value;
}

} // namespace halvrick
