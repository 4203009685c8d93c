#pragma once

#include <chrono>
#include <functional>
#include <string_view>

namespace halvrick {

// Times one piece of sampling work on the main thread, from construction to destruction, so that the
// idle-cost benchmark can tell how long sampling ever holds the main thread in one go: the wall time, and
// the thread's CPU time in it (on a crowded machine the wall time also holds waits for a core). The
// times go to the writer; with the default one, to standard output as "STALL: <wall ms> <cpu ms> <what>"
// when the environment holds HALVRICK_STALLS, else nowhere. The default writer leaves out steps shorter
// than reportedFrom, so that writing the lines adds little to the cost being measured; its first line,
// "STALLS: steps of <ms> ms or more", says that the build times its steps.
class SamplingStall {
public:
    using Writer = std::function<void(std::string_view what, double wallMilliseconds, double cpuMilliseconds)>;

    static constexpr double reportedFromMilliseconds = 1;

    explicit SamplingStall(std::string_view what);
    ~SamplingStall();
    SamplingStall(const SamplingStall&) = delete;
    SamplingStall& operator=(const SamplingStall&) = delete;

    // Replaces where the times go; an empty writer times nothing. Main thread only.
    static void setWriter(Writer writer);

private:
    std::string_view what_;
    bool timing_;
    std::chrono::steady_clock::time_point start_;
    double cpuStart_ = 0;
};

} // namespace halvrick
