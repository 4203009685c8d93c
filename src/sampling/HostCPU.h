#pragma once

#include "sampling/KeptFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// Machine-wide cumulative CPU ticks from the first line of <procRoot>/stat.
struct HostCPU {
    struct Ticks {
        std::uint64_t busy = 0;  // user + nice + system + irq + softirq + steal
        std::uint64_t total = 0; // busy + idle + iowait
        friend bool operator==(const Ticks&, const Ticks&) = default;
    };

    static std::optional<Ticks> readTicks(const std::string& procRoot = "/proc");
    // Parses the "cpu  ..." line itself; nothing for anything else.
    static std::optional<Ticks> parseStatLine(std::string_view line);
    // From the first line of the stat file.
    static std::optional<Ticks> readTicks(KeptFile& statFile);
    // Clock ticks per second of the counters in /proc (USER_HZ), 100 when unknown.
    static double ticksPerSecond();
};

class TickReader {
public:
    virtual ~TickReader() = default;
    virtual std::optional<HostCPU::Ticks> readTicks() = 0;
};

// Keeps the stat file open and reads it again from its start every time.
class ProcTickReader : public TickReader {
public:
    explicit ProcTickReader(const std::string& procRoot = "/proc") : statFile_(procRoot + "/stat") {}
    std::optional<HostCPU::Ticks> readTicks() override { return HostCPU::readTicks(statFile_); }

private:
    KeptFile statFile_;
};

} // namespace halvrick
