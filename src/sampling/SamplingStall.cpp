#include "sampling/SamplingStall.h"

#include <cstdio>
#include <cstdlib>
#include <time.h>

namespace halvrick {

namespace {

void printStall(std::string_view what, double wall, double cpu) {
    if (wall < SamplingStall::reportedFromMilliseconds && cpu < SamplingStall::reportedFromMilliseconds) {
        return;
    }
    std::printf("STALL: %.3f %.3f %.*s\n", wall, cpu, static_cast<int>(what.size()), what.data());
    std::fflush(stdout);
}

struct Timing {
    SamplingStall::Writer writer;
    // Steps shorter than this in wall time go unreported, so their CPU time need not be read: a thread
    // spends no more CPU time than wall time.
    double shortestMilliseconds = 0;
};

Timing& timing() {
    static Timing current = []() -> Timing {
        if (std::getenv("HALVRICK_STALLS") == nullptr) {
            return {};
        }
        std::printf("STALLS: steps of %g ms or more\n", SamplingStall::reportedFromMilliseconds);
        std::fflush(stdout);
        return {printStall, SamplingStall::reportedFromMilliseconds};
    }();
    return current;
}

double threadCPUMilliseconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

SamplingStall::SamplingStall(std::string_view what)
    : what_(what), timing_(static_cast<bool>(timing().writer)),
      start_(timing_ ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point()),
      cpuStart_(timing_ ? threadCPUMilliseconds() : 0) {}

SamplingStall::~SamplingStall() {
    const Timing& current = timing();
    if (!timing_ || !current.writer) {
        return;
    }
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    if (wall < current.shortestMilliseconds) {
        return;
    }
    current.writer(what_, wall, threadCPUMilliseconds() - cpuStart_);
}

void SamplingStall::setWriter(Writer writer) {
    timing() = Timing{std::move(writer), 0};
}

} // namespace halvrick
