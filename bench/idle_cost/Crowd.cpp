#include "Crowd.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvrick {

Crowd::Crowd(std::size_t count, Kind kind) {
    const pid_t parent = ::getpid();
    pids_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid < 0) {
            const std::string reason = std::strerror(errno);
            end();
            throw std::runtime_error("cannot start extra process " + std::to_string(i + 1) + ": " + reason);
        }
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) {
                ::_exit(0);
            }
            if (kind == Kind::spinning) {
                volatile unsigned long spins = 0;
                for (;;) {
                    spins = spins + 1;
                }
            }
            for (;;) {
                ::pause();
            }
        }
        pids_.push_back(pid);
    }
}

Crowd::~Crowd() { end(); }

void Crowd::end() {
    for (const pid_t pid : pids_) {
        ::kill(pid, SIGKILL);
    }
    for (const pid_t pid : pids_) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pids_.clear();
}

} // namespace halvrick
