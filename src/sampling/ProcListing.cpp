#include "sampling/ProcListing.h"

#include "core/MendedUTF8.h"

#include "sampling/HostCPU.h"
#include "sampling/ProcessList.h"

#include <array>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace halvrick {

namespace {

// Fields after the ")" that closes the name: state is 0, utime 11, stime 12.
constexpr std::size_t utimeField = 11;
constexpr std::size_t stimeField = 12;

std::optional<std::string> readSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 512> buffer{};
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

// Any user can name a task anything but NUL: control characters become "?" as ps shows them, and
// bytes that are not UTF-8 become U+FFFD, in this name only.
std::string printableName(std::string_view raw) {
    std::string name(raw);
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    name = mendedUTF8(name);
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::optional<std::uint64_t> parseTicks(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<PSRow> ProcListing::parseStat(std::int32_t pid, std::string_view stat, double ticksPerSecond) {
    const std::size_t open = stat.find('(');
    const std::size_t close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    std::string command = printableName(stat.substr(open + 1, close - open - 1));
    if (command.empty()) {
        return std::nullopt;
    }
    std::string_view rest = stat.substr(close + 1);
    std::optional<std::uint64_t> utime;
    std::optional<std::uint64_t> stime;
    for (std::size_t field = 0; field <= stimeField; ++field) {
        const std::size_t start = rest.find_first_not_of(" \n");
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(start);
        const std::size_t end = rest.find_first_of(" \n");
        const std::string_view word = rest.substr(0, end);
        rest.remove_prefix(word.size());
        if (field == utimeField) {
            utime = parseTicks(word);
        } else if (field == stimeField) {
            stime = parseTicks(word);
        }
    }
    if (!utime || !stime || !(ticksPerSecond > 0)) {
        return std::nullopt;
    }
    return PSRow{pid, static_cast<double>(*utime + *stime) / ticksPerSecond, std::move(command)};
}

std::optional<std::vector<PSRow>> ProcListing::read(const std::string& procRoot) {
    const std::vector<std::int32_t> pids = ProcessList::allPIDs(procRoot);
    if (pids.empty()) {
        return std::nullopt;
    }
    const double ticksPerSecond = HostCPU::ticksPerSecond();
    std::vector<PSRow> rows;
    rows.reserve(pids.size());
    for (const std::int32_t pid : pids) {
        // A process that ended since the folder was listed has no stat left: it is simply not listed.
        const auto stat = readSmallFile(procRoot + "/" + std::to_string(pid) + "/stat");
        if (!stat) {
            continue;
        }
        if (auto row = parseStat(pid, *stat, ticksPerSecond)) {
            rows.push_back(std::move(*row));
        }
    }
    return rows;
}

} // namespace halvrick
