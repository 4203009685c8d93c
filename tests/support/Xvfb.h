#pragma once

#include "EndProcess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace halvrick {

// A private X server for the tests of this process. The server picks a free display number itself and
// tells it on its standard output, so tests started side by side never race for one. Needs the test
// program's application object.
class Xvfb {
public:
    ~Xvfb() { endProcess(process_); }

    // The display name once the server accepts connections; empty when it could not be started.
    std::string start() {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24")});
        if (!process_.waitForStarted(5000)) {
            return {};
        }
        // The number is written once the server listens; a loaded machine may take a while.
        const QDeadlineTimer deadline(30000);
        QByteArray output;
        while (!output.contains('\n') && process_.state() == QProcess::Running && !deadline.hasExpired()) {
            process_.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)));
            output += process_.readAllStandardOutput();
        }
        const QByteArray number = output.trimmed();
        if (number.isEmpty() || process_.state() != QProcess::Running) {
            return {};
        }
        return std::string(":").append(number.toStdString());
    }

private:
    QProcess process_;
};

// A suite whose tests share one private X server, started before the first and stopped after the last.
// Its tests are skipped where Xvfb is not installed and fail where it did not start. The suite makes the
// test program's application object before it calls SetUpTestSuite here.
class XvfbTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            server_ = new Xvfb;
            display_ = server_->start();
        }
    }

    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
        display_.clear();
    }

    void SetUp() override {
        if (server_ == nullptr) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    }

    static inline Xvfb* server_ = nullptr;
    static inline std::string display_;
};

} // namespace halvrick
