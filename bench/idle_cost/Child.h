#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

namespace halvrick {

// Thrown by the waits below once SIGINT, SIGTERM or SIGHUP has arrived.
struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Makes those signals interrupt the waits instead of ending the program, so children are still stopped.
void catchStopSignals();
// Sleeps, or throws Interrupted.
void pauseFor(std::chrono::milliseconds duration);

// A program started with an argument list (never through a shell) in a process group of its own, so a
// Ctrl-C in the terminal reaches only this program, which then stops the children in order. Stopped on
// destruction; a child whose parent dies gets SIGTERM from the kernel.
class Child {
public:
    struct Launch {
        std::string program; // a path, or a name looked up in PATH
        std::vector<std::string> arguments;
        std::vector<std::string> environment; // NAME=value entries, the whole environment
        std::string output;                   // file for stdout and stderr; empty: /dev/null
        std::optional<int> passedFd;          // a descriptor of ours that the child gets as fd 3
    };

    explicit Child(const Launch& launch);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& name() const { return name_; }
    // False once it has ended (it is then reaped).
    bool running();
    // How it ended, for messages: "exited with status 1", "killed by signal 9".
    std::string endText() const;
    // SIGTERM, a bounded wait, then SIGKILL; reaps it in every case.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    std::string name_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// A pipe whose read end stays here; the write end goes to one child as fd 3.
class Pipe {
public:
    Pipe();
    ~Pipe();
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int writeEnd() const { return write_; }
    // Drops our copy of the write end once the child has its own, so its exit reads as end of file.
    void closeWriteEnd();
    // The first line the child writes, without the newline; nothing if none comes in time or the child
    // closes the pipe first.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

private:
    int read_ = -1;
    int write_ = -1;
};

// The environment of this process with `overrides` (NAME=value) put in and the names in `removed` left
// out.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides,
                                         const std::vector<std::string>& removed);

} // namespace halvrick
