#pragma once

#include <QLockFile>
#include <QString>
#include <optional>

namespace halvrick {

// One interactive instance per user: two would each rewrite stats.json and vitals.json from their own
// memory. The lock is a file the running instance holds, beside the ledgers it protects (a runtime folder
// can differ between two logins of one home); the lock of a process that died is taken over.
class SingleInstance {
public:
    enum class Outcome {
        acquired,
        // Another live process holds the lock: this launch should leave quietly.
        heldByAnother,
        // The lock cannot be taken at all (no runtime folder, no permission); better to run than to
        // refuse to start.
        unavailable,
    };

    explicit SingleInstance(QString lockPath);

    // "halvrick.lock" in the application-support folder, which is made when missing; none when the
    // platform names no such folder.
    static std::optional<QString> defaultLockPath();

    // Never waits. Locking again while held is acquired.
    Outcome tryLock();
    bool isLocked() const { return lock_.isLocked(); }
    const QString& path() const { return path_; }

private:
    QString path_;
    QLockFile lock_;
};

} // namespace halvrick
