#pragma once

#include <cstddef>
#include <sys/types.h>
#include <vector>

namespace halvrick {

// Extra processes for a measurement: forked copies of this program that either sleep or spin, killed
// and reaped on destruction; each also gets SIGKILL from the kernel when this program dies.
class Crowd {
public:
    enum class Kind { sleeping, spinning };

    Crowd(std::size_t count, Kind kind);
    ~Crowd();
    Crowd(const Crowd&) = delete;
    Crowd& operator=(const Crowd&) = delete;

    std::size_t size() const { return pids_.size(); }

private:
    void end();

    std::vector<pid_t> pids_;
};

} // namespace halvrick
