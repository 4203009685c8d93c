#include "app/ShutdownSignals.h"

#include <QMetaObject>
#include <atomic>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace halvrick {

namespace {

// Read by the handler, so only a lock-free atomic.
std::atomic<int> signalWriteEnd{-1};
std::atomic<bool> installed{false};

static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void writeSignalNumber(int signal) {
    const int savedErrno = errno;
    const int fd = signalWriteEnd.load();
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        // Non-blocking: with the socket full, earlier signals are already waiting to be handled.
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = savedErrno;
}

void restore(const std::array<struct sigaction, ShutdownSignals::handledSignals.size()>& previous,
             std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        ::sigaction(ShutdownSignals::handledSignals[i], &previous[i], nullptr);
    }
}

} // namespace

std::unique_ptr<ShutdownSignals> ShutdownSignals::install(std::function<void(int signal)> onShutdown) {
    if (installed.exchange(true)) {
        return nullptr;
    }
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
        installed = false;
        return nullptr;
    }
    signalWriteEnd = fds[0];
    std::array<struct sigaction, handledSignals.size()> previous{};
    struct sigaction action {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        if (::sigaction(handledSignals[i], &action, &previous[i]) != 0) {
            restore(previous, i);
            signalWriteEnd = -1;
            ::close(fds[0]);
            ::close(fds[1]);
            installed = false;
            return nullptr;
        }
    }
    return std::unique_ptr<ShutdownSignals>(
        new ShutdownSignals(fds[1], fds[0], previous, std::move(onShutdown)));
}

ShutdownSignals::ShutdownSignals(int readEnd, int writeEnd,
                                 std::array<struct sigaction, handledSignals.size()> previous,
                                 std::function<void(int signal)> onShutdown)
    : readEnd_(readEnd), writeEnd_(writeEnd), previous_(previous), onShutdown_(std::move(onShutdown)),
      notifier_(readEnd, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { drain(); });
}

ShutdownSignals::~ShutdownSignals() {
    restore(previous_, previous_.size());
    signalWriteEnd = -1;
    notifier_.setEnabled(false);
    ::close(readEnd_);
    ::close(writeEnd_);
    installed = false;
}

void ShutdownSignals::drain() {
    std::vector<int> received;
    unsigned char buffer[64];
    for (;;) {
        const ssize_t count = ::read(readEnd_, buffer, sizeof buffer);
        if (count > 0) {
            received.insert(received.end(), buffer, buffer + count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        break;
    }
    if (received.empty()) {
        return;
    }
    // Run from a later turn of the event loop, never inside the notifier's own signal, so the callback may
    // destroy this object; a call still queued when it is gone is dropped.
    QMetaObject::invokeMethod(
        &notifier_,
        [received, onShutdown = onShutdown_] {
            for (const int signal : received) {
                if (onShutdown) {
                    onShutdown(signal);
                }
            }
        },
        Qt::QueuedConnection);
}

} // namespace halvrick
