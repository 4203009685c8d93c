#pragma once

#include <cstdint>
#include <optional>
#include <string>

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
    static std::optional<Ticks> parseStatLine(const std::string& line);
    // Clock ticks per second of the counters in /proc (USER_HZ), 100 when unknown.
    static double ticksPerSecond();
};

class TickReader {
public:
    virtual ~TickReader() = default;
    virtual std::optional<HostCPU::Ticks> readTicks() = 0;
};

class ProcTickReader : public TickReader {
public:
    explicit ProcTickReader(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}
    std::optional<HostCPU::Ticks> readTicks() override { return HostCPU::readTicks(procRoot_); }

private:
    std::string procRoot_;
};

} // namespace halvrick
