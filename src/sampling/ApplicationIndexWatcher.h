#pragma once

#include "sampling/ApplicationIndex.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>

namespace halvrick {

// The application index kept current: built off the main thread at once, and again when an
// application folder changes, a burst of changes making one rebuild.
class ApplicationIndexWatcher {
public:
    static constexpr int defaultCoalesceMilliseconds = 2000;

    explicit ApplicationIndexWatcher(ApplicationIndex::Roots roots = ApplicationIndex::Roots::standard(),
                                     int coalesceMilliseconds = defaultCoalesceMilliseconds);
    ~ApplicationIndexWatcher();
    ApplicationIndexWatcher(const ApplicationIndexWatcher&) = delete;
    ApplicationIndexWatcher& operator=(const ApplicationIndexWatcher&) = delete;

    // An empty index until the first build is done, then the latest one.
    std::shared_ptr<const ApplicationIndex> current() const { return current_; }

    // Called on the main thread after each build is adopted.
    std::function<void()> onRebuilt;

private:
    void rebuild();
    void adopt(std::shared_ptr<const ApplicationIndex> index);

    ApplicationIndex::Roots roots_;
    std::shared_ptr<const ApplicationIndex> current_;
    bool building_ = false;
    bool changedWhileBuilding_ = false;
    QObject context_;
    QFileSystemWatcher watcher_;
    QTimer coalesce_;
    // Last, so that it is destroyed first: that waits for a running build, whose result is then
    // dropped with the context.
    QThreadPool pool_;
};

} // namespace halvrick
