#pragma once

#include "QtTestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace halvrick {

// A private X server for the tests of this process, on a display number nobody uses.
class Xvfb {
public:
    ~Xvfb() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    // The display name once the server accepts connections; empty when it could not be started.
    std::string start() {
        testApplication();
        const int first = 100 + static_cast<int>(getpid() % 800);
        for (int number = first; number < first + 20; ++number) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) {
                continue;
            }
            const std::string name = ":" + std::to_string(number);
            process_.start(QStringLiteral("Xvfb"),
                           {QString::fromStdString(name), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-noreset"), QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24")});
            if (!process_.waitForStarted(5000)) {
                return {};
            }
            if (waitForSocket(socket)) {
                return name;
            }
            // Another server took the number first.
        }
        return {};
    }

private:
    bool waitForSocket(const std::string& socket) {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (std::filesystem::exists(socket) && process_.state() == QProcess::Running) {
                return true;
            }
            // Returns at once when the server gives up; otherwise waits a short step and looks again.
            if (process_.waitForFinished(20)) {
                return false;
            }
        }
        return false;
    }

    QProcess process_;
};

} // namespace halvrick
