#include "Child.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace halvrick {

namespace {

volatile sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

void throwIfInterrupted() {
    if (stopRequested) {
        throw Interrupted();
    }
}

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// Resolved before fork: the child may only make async-signal-safe calls.
std::string executablePath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        if (::access(program.c_str(), X_OK) != 0) {
            throw std::runtime_error(program + " is not an executable file");
        }
        return program;
    }
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string directory = end > start ? directories.substr(start, end - start) : ".";
        const std::string candidate = directory + "/" + program;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    throw std::runtime_error(program + " is not installed (not found in PATH)");
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) {
        result.push_back(s.data());
    }
    result.push_back(nullptr);
    return result;
}

// Runs in the forked child: only async-signal-safe calls, then exec or _exit(127).
[[noreturn]] void becomeChild(pid_t parent, const char* path, char* const* argv, char* const* envp,
                              const char* output, std::optional<int> passedFd) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(s, &defaultAction, nullptr);
    }
    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int sink = ::open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (input < 0 || sink < 0 || ::dup2(input, 0) < 0 || ::dup2(sink, 1) < 0 || ::dup2(sink, 2) < 0) {
        ::_exit(127);
    }
    if (passedFd) {
        // dup2 onto itself would keep close-on-exec set.
        if (*passedFd == 3 ? ::fcntl(3, F_SETFD, 0) < 0 : ::dup2(*passedFd, 3) < 0) {
            ::_exit(127);
        }
    }
    ::execve(path, argv, envp);
    ::_exit(127);
}

} // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a waiting poll wakes up at once; sleeps are short
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(s, &action, nullptr);
    }
}

void pauseFor(std::chrono::milliseconds duration) {
    throwIfInterrupted();
    std::this_thread::sleep_for(duration);
    throwIfInterrupted();
}

std::vector<std::string> environmentWith(const std::vector<std::string>& overrides,
                                         const std::vector<std::string>& removed) {
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    const auto dropped = [&](const std::string& name) {
        for (const std::string& r : removed) {
            if (r == name) {
                return true;
            }
        }
        for (const std::string& o : overrides) {
            if (nameOf(o) == name) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!dropped(nameOf(text))) {
            result.push_back(text);
        }
    }
    result.insert(result.end(), overrides.begin(), overrides.end());
    return result;
}

Child::Child(const Launch& launch) : name_(std::filesystem::path(launch.program).filename().string()) {
    std::string path = executablePath(launch.program);
    std::vector<std::string> argumentStrings{launch.program};
    argumentStrings.insert(argumentStrings.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<std::string> environmentStrings = launch.environment;
    const std::vector<char*> argv = pointers(argumentStrings);
    const std::vector<char*> envp = pointers(environmentStrings);
    const std::string output = launch.output.empty() ? "/dev/null" : launch.output;

    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) {
        throw systemError("cannot start " + name_);
    }
    if (pid_ == 0) {
        becomeChild(parent, path.c_str(), argv.data(), envp.data(), output.c_str(), launch.passedFd);
    }
    // Also here, so that stopping the group never races the child's own call.
    ::setpgid(pid_, pid_);
}

Child::~Child() {
    stop();
}

bool Child::running() {
    if (status_) {
        return false;
    }
    int status = 0;
    const pid_t result = ::waitpid(pid_, &status, WNOHANG);
    if (result == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

std::string Child::endText() const {
    if (!status_) {
        return "is still running";
    }
    if (WIFEXITED(*status_)) {
        return WEXITSTATUS(*status_) == 127 ? "could not be started (exit status 127)"
                                            : "exited with status " + std::to_string(WEXITSTATUS(*status_));
    }
    if (WIFSIGNALED(*status_)) {
        return "was killed by signal " + std::to_string(WTERMSIG(*status_));
    }
    return "ended";
}

void Child::stop(std::chrono::milliseconds grace) {
    if (!running()) {
        return;
    }
    // The whole group: helpers the child started go too.
    ::kill(-pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (running()) {
        ::kill(-pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        status_ = status;
    }
}

Pipe::Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw systemError("cannot make a pipe");
    }
    read_ = fds[0];
    write_ = fds[1];
}

Pipe::~Pipe() {
    ::close(read_);
    closeWriteEnd();
}

void Pipe::closeWriteEnd() {
    if (write_ >= 0) {
        ::close(write_);
        write_ = -1;
    }
}

std::optional<std::string> Pipe::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string text;
    for (;;) {
        throwIfInterrupted();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd fd{read_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char buffer[256];
        const ssize_t count = ::read(read_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (const std::size_t newline = text.find('\n'); newline != std::string::npos) {
            return text.substr(0, newline);
        }
    }
}

} // namespace halvrick
