#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace halvrick::testing_support {

struct ProgramRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

// The environment of a start in a throwaway home: no display, no desktop folders of the user's own,
// `runtime` as the runtime folder.
inline QProcessEnvironment throwawayEnvironment(const QString& home, const QString& runtime) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
          "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "DBUS_SESSION_BUS_ADDRESS",
          "HALVRICK_LOG", "HALVRICK_PEEK", "HALVRICK_DEBUG"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return environment;
}

// Runs the real program to its end. Events of this process are handled meanwhile, so that it can answer
// the program on the bus.
inline ProgramRun runProgram(const QStringList& arguments, const QProcessEnvironment& environment,
                             const QString& workingDirectory) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(HALVRICK_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForStarted(30'000));
    const QDeadlineTimer deadline(120'000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(10);
    }
    EXPECT_EQ(process.state(), QProcess::NotRunning) << "the program did not end";
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    ProgramRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace halvrick::testing_support
