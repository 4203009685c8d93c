#pragma once

// Fixtures shared by the tests of the stores that keep files.

#include "ScopedEnvironment.h"
#include "core/Calendar.h"
#include "core/Date.h"
#include "model/Defaults.h"
#include "model/LedgerFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <chrono>
#include <csignal>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvrick::testing_support {

using namespace std::chrono_literals;

struct FakeClocks {
    Calendar calendar{"Europe/Berlin"};
    Date now = calendar.date(2026, 3, 5, 15);
    LedgerFile::MonotonicTime tick{5000s};

    LedgerFile::Clocks clocks() {
        return {[this] { return now; }, [this] { return calendar; }, [this] { return tick; }};
    }
};

// The warnings of the "halvrick.*" categories while it lives, kept instead of written; other messages go
// where they went before.
class CapturedWarnings {
public:
    CapturedWarnings() : previous_(qInstallMessageHandler(&CapturedWarnings::handle)) { current_ = this; }
    ~CapturedWarnings() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    QStringList lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg && context.category &&
            QString::fromLatin1(context.category).startsWith(QStringLiteral("halvrick."))) {
            current_->lines.append(message);
        } else if (current_->previous_) {
            current_->previous_(type, context, message);
        }
    }

    static inline CapturedWarnings* current_ = nullptr;
    QtMessageHandler previous_;
};

// A write that found another writer holding the lock for its whole timeout (a loaded machine) stays
// pending and goes out with the next one; a writer in a test keeps trying a bounded number of times.
inline bool synchronizeEventually(Defaults& defaults) {
    for (int attempt = 0; attempt < 30; ++attempt) {
        if (defaults.synchronize()) {
            return true;
        }
    }
    return false;
}

// Only a regular file: a FIFO or a device left in place must fail a test, not hang it.
inline QByteArray readBytes(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Bytes of every value, in no format at all.
inline QByteArray garbageBytes() {
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.append(static_cast<char>((i * 131 + 7) % 256));
    }
    return bytes;
}

inline QStringList filesSetAside(const QString& folder) {
    return QDir(folder).entryList({"*.unreadable-*"}, QDir::AllEntries | QDir::System);
}

// Runs `body` in a forked child whose writes past `limit` bytes of any file fail with EFBIG (SIGXFSZ is
// ignored), as they fail on a full disk; `body` may call the function it is handed to lift the limit again.
// The child's exit status is returned (0 for success), -1 when it did not exit normally.
inline int inChildWithFileSizeLimit(rlim_t limit, const std::function<int(const std::function<void()>& lift)>& body) {
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit original{};
        getrlimit(RLIMIT_FSIZE, &original);
        rlimit lowered = original;
        lowered.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &lowered) != 0) {
            _exit(100);
        }
        try {
            _exit(body([original] { setrlimit(RLIMIT_FSIZE, &original); }));
        } catch (...) {
            // Never back into the test runner: the child would run the remaining tests.
            _exit(101);
        }
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Runs `body` in a forked child that is killed after `seconds` and may not take more than 1 GiB of memory,
// for code that must neither block nor read without end. The child's exit status, -1 when it was killed.
inline int inChildWithin(unsigned seconds, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        const rlimit memory{rlim_t{1} << 30, rlim_t{1} << 30};
        setrlimit(RLIMIT_DATA, &memory);
        alarm(seconds);
        try {
            _exit(body());
        } catch (...) {
            _exit(101);
        }
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// One booking and one save of a store in a child process; true when the save finished.
using SaveStep = std::function<bool()>;

// Forks a child that builds its store with `startChild` and then books and saves in a loop. Two finished
// saves give the length of one save cycle; the child is killed at a point of the next cycle that moves
// with `round`, so that `rounds` rounds together cover encoding, writing and the rename. `finished` is
// the number of saves the child reported finished before the kill.
inline void killDuringSaves(const std::function<SaveStep()>& startChild, int round, int rounds,
                            int& finished) {
    using Clock = std::chrono::steady_clock;
    int acks[2];
    ASSERT_EQ(pipe(acks), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(acks[0]);
        const SaveStep step = startChild();
        for (;;) {
            const char ack = step() ? 'S' : 'F';
            if (write(acks[1], &ack, 1) != 1 || ack == 'F') {
                _exit(1);
            }
        }
    }
    close(acks[1]);
    finished = 0;
    char ack = 0;
    Clock::time_point acked[2];
    while (finished < 2 && read(acks[0], &ack, 1) == 1 && ack == 'S') {
        acked[finished++] = Clock::now();
    }
    if (finished == 2) {
        const auto killAt = acked[1] + (acked[1] - acked[0]) * (round + 0.5) / rounds;
        while (Clock::now() < killAt) {
        }
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(acks[0]);
    ASSERT_EQ(finished, 2);
    ASSERT_TRUE(WIFSIGNALED(status));
}

} // namespace halvrick::testing_support
