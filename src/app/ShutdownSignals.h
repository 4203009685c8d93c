#pragma once

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

namespace halvrick {

// Logging out or shutting down ends programs with SIGTERM, and a terminal sends SIGINT or SIGHUP; by
// default each kills the process before the ledgers are saved. These handlers only write the signal's
// number into a socket pair, and the callback runs from the event loop of the thread that installed them,
// where quitting cleanly is safe. One installation per process at a time.
class ShutdownSignals {
public:
    static constexpr std::array<int, 3> handledSignals{SIGTERM, SIGINT, SIGHUP};

    // None while another installation is alive, or when the socket pair or a handler cannot be set up
    // (the signals then keep whatever handling they had).
    static std::unique_ptr<ShutdownSignals> install(std::function<void(int signal)> onShutdown);

    // Gives the signals back their earlier handling.
    ~ShutdownSignals();

    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

private:
    ShutdownSignals(int readEnd, int writeEnd, std::array<struct sigaction, handledSignals.size()> previous,
                    std::function<void(int signal)> onShutdown);
    void drain();

    int readEnd_;
    int writeEnd_;
    std::array<struct sigaction, handledSignals.size()> previous_;
    std::function<void(int signal)> onShutdown_;
    QSocketNotifier notifier_;
};

} // namespace halvrick
