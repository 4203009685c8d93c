#pragma once

#include <QProcess>

namespace halvrick {

// Ends a helper program the tests started: politely first, then for good.
inline void endProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace halvrick
