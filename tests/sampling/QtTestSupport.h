#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTimer>

#include <functional>

namespace halvrick {

// One application object per test process, made on first use; a GUI one, on no screen, so that icons
// can be drawn.
inline QCoreApplication& testApplication() {
    static int argc = 1;
    static char name[] = "halvrick_sampling_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication& app = [] () -> QGuiApplication& {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication instance(argc, argv);
        return instance;
    }();
    return app;
}

// Runs the event loop until `done` holds or the time is up; says whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    testApplication();
    const QDeadlineTimer deadline(milliseconds);
    // Wakes the loop even when no event arrives, so the deadline is always seen.
    QTimer wake;
    wake.start(10);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace halvrick
