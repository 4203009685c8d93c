#include "sampling/ProcessReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>

namespace halvrick {

namespace {

// Large enough for any stat line and for the part of status that holds the memory lines.
constexpr std::size_t statBufferSize = 2048;
constexpr std::size_t statusBufferSize = 4096;
constexpr std::size_t statmBufferSize = 256;
constexpr std::size_t schedstatBufferSize = 128;
constexpr std::size_t meminfoBufferSize = 8192;
constexpr std::size_t cgroupBufferSize = 4096;
constexpr std::size_t pathBufferSize = 4096;

constexpr std::string_view deletedSuffix = " (deleted)";

// Reads the start of a small file below the proc folder; nothing on any failure.
std::optional<std::string_view> readEntry(int procFD, std::int32_t pid, std::string_view leaf, char* buffer,
                                          std::size_t size) {
    const int fd = ProcFileCache::open(procFD, pid, leaf);
    if (fd < 0) {
        return std::nullopt;
    }
    std::size_t length = 0;
    bool failed = false;
    while (length < size) {
        const ssize_t n = ::read(fd, buffer + length, size - length);
        if (n > 0) {
            length += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            failed = true;
            break;
        }
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    return std::string_view(buffer, length);
}

// The unsigned number at the start of text, after blanks; nothing when there is none.
std::optional<std::uint64_t> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (ec != std::errc{} || end == text.data() + i) {
        return std::nullopt;
    }
    return value;
}

// The kB value of a "Key:" line of a status file.
std::optional<std::uint64_t> statusKilobytes(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while ((at = text.find(key, at)) != std::string_view::npos) {
        if (at == 0 || text[at - 1] == '\n') {
            return leadingNumber(text.substr(at + key.size()));
        }
        at += key.size();
    }
    return std::nullopt;
}

} // namespace

ProcProcessReader::ProcProcessReader(const std::string& procRoot, double ticksPerSecond,
                                     std::unique_ptr<ProcFileCache> keptFiles)
    : procFD_(::open(procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      ticksPerSecond_(ticksPerSecond > 0 ? ticksPerSecond : 100),
      pageSize_(static_cast<std::uint64_t>(std::max(1L, ::sysconf(_SC_PAGESIZE)))),
      meminfo_(procRoot + "/meminfo"), keptFiles_(std::move(keptFiles)) {}

ProcProcessReader::~ProcProcessReader() {
    if (procFD_ >= 0) {
        ::close(procFD_);
    }
}

std::optional<std::string_view> ProcProcessReader::read(std::int32_t pid, ProcFileCache::File file, char* buffer,
                                                        std::size_t size) {
    if (keptFiles_) {
        return keptFiles_->read(procFD_, pid, file, buffer, size);
    }
    return readEntry(procFD_, pid, ProcFileCache::leaf(file), buffer, size);
}

void ProcProcessReader::beginSweep() {
    swapInUse_ = true;
    char buffer[meminfoBufferSize];
    if (const auto text = meminfo_.read(buffer, sizeof buffer); text && !text->empty()) {
        swapInUse_ = swapInUse(*text);
    }
}

bool ProcProcessReader::swapInUse(std::string_view meminfoText) {
    const auto total = statusKilobytes(meminfoText, "SwapTotal:");
    const auto free = statusKilobytes(meminfoText, "SwapFree:");
    return !total || !free || *free < *total;
}

std::optional<std::uint64_t> ProcProcessReader::parseStatmFootprint(std::string_view statmText,
                                                                    std::uint64_t pageSize) {
    // size resident shared text lib data dt, in pages; shared is RssFile + RssShmem.
    const auto size = leadingNumber(statmText);
    const std::size_t afterSize = statmText.find(' ');
    if (!size || afterSize == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = statmText.substr(afterSize + 1);
    const auto resident = leadingNumber(rest);
    const std::size_t afterResident = rest.find(' ');
    if (!resident || afterResident == std::string_view::npos) {
        return std::nullopt;
    }
    const auto shared = leadingNumber(rest.substr(afterResident + 1));
    if (!shared) {
        return std::nullopt;
    }
    return (*resident > *shared ? *resident - *shared : 0) * pageSize;
}

void ProcProcessReader::endSweep() {
    if (keptFiles_) {
        keptFiles_->endSweep();
    }
}

std::optional<ProcessStat> ProcProcessReader::parseStat(std::string_view text) {
    const std::size_t close = text.rfind(')');
    if (close == std::string_view::npos || text.find('(') > close) {
        return std::nullopt;
    }
    // Fields from the state (field 3) on; flags is field 9, utime 14, stime 15, num_threads 20,
    // starttime 22.
    constexpr std::size_t flagsField = 6, utimeField = 11, stimeField = 12, threadsField = 17,
                          startField = 19;
    std::array<std::uint64_t, startField + 1> wanted{};
    std::size_t field = 0;
    std::size_t i = close + 1;
    while (field <= startField) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i >= text.size() || text[i] == '\n') {
            return std::nullopt;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') {
            ++end;
        }
        if (field == flagsField || field == utimeField || field == stimeField || field == threadsField ||
            field == startField) {
            const auto [last, ec] = std::from_chars(text.data() + i, text.data() + end, wanted[field]);
            if (ec != std::errc{} || last != text.data() + end) {
                return std::nullopt;
            }
        }
        i = end;
        ++field;
    }
    ProcessStat stat;
    stat.cpuTime = wanted[utimeField] + wanted[stimeField];
    stat.startTime = wanted[startField];
    stat.flags = static_cast<std::uint32_t>(wanted[flagsField]);
    stat.threads = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(wanted[threadsField], std::numeric_limits<std::uint32_t>::max()));
    return stat;
}

std::optional<std::string_view> ProcProcessReader::nameInStat(std::string_view text) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    return text.substr(open + 1, close - open - 1);
}

std::uint64_t ProcProcessReader::parseFootprint(std::string_view statusText) {
    const std::uint64_t anon = statusKilobytes(statusText, "RssAnon:").value_or(0);
    const std::uint64_t swap = statusKilobytes(statusText, "VmSwap:").value_or(0);
    return (anon + swap) * 1024;
}

std::optional<ProcessStat> ProcProcessReader::readStat(std::int32_t pid) {
    char buffer[statBufferSize];
    const auto text = read(pid, ProcFileCache::File::stat, buffer, sizeof buffer);
    return text ? parseStat(*text) : std::nullopt;
}

std::optional<std::uint64_t> ProcProcessReader::readRunTime(std::int32_t pid) {
    char buffer[schedstatBufferSize];
    const auto text = read(pid, ProcFileCache::File::schedstat, buffer, sizeof buffer);
    return text ? leadingNumber(*text) : std::nullopt;
}

std::optional<std::uint64_t> ProcProcessReader::readFootprint(std::int32_t pid) {
    if (!swapInUse_) {
        char buffer[statmBufferSize];
        const auto text = read(pid, ProcFileCache::File::statm, buffer, sizeof buffer);
        return text ? parseStatmFootprint(*text, pageSize_) : std::nullopt;
    }
    char buffer[statusBufferSize];
    const auto text = read(pid, ProcFileCache::File::status, buffer, sizeof buffer);
    if (!text) {
        return std::nullopt;
    }
    return parseFootprint(*text);
}

std::optional<std::string> ProcProcessReader::readPath(std::int32_t pid) {
    if (procFD_ < 0 || pid <= 0) {
        return std::nullopt;
    }
    char buffer[pathBufferSize];
    const std::string path = std::to_string(pid) + "/exe";
    const ssize_t n = ::readlinkat(procFD_, path.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
        return std::nullopt;
    }
    std::string_view target(buffer, static_cast<std::size_t>(n));
    if (target.ends_with(deletedSuffix)) {
        target.remove_suffix(deletedSuffix.size());
    }
    if (target.empty()) {
        return std::nullopt;
    }
    return std::string(target);
}

std::optional<std::string> ProcProcessReader::readName(std::int32_t pid) {
    char buffer[statBufferSize];
    if (auto comm = readEntry(procFD_, pid, "comm", buffer, sizeof buffer)) {
        if (comm->ends_with('\n')) {
            comm->remove_suffix(1);
        }
        return comm->empty() ? std::nullopt : std::optional<std::string>(*comm);
    }
    if (const auto stat = readEntry(procFD_, pid, "stat", buffer, sizeof buffer)) {
        if (const auto name = nameInStat(*stat); name && !name->empty()) {
            return std::string(*name);
        }
    }
    return std::nullopt;
}

std::string ProcProcessReader::readCgroup(std::int32_t pid) {
    char buffer[cgroupBufferSize];
    const auto text = readEntry(procFD_, pid, "cgroup", buffer, sizeof buffer);
    return text ? std::string(*text) : std::string();
}

} // namespace halvrick
