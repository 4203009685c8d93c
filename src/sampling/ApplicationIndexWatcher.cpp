#include "sampling/ApplicationIndexWatcher.h"

#include <QFile>
#include <QMetaObject>
#include <QStringList>

namespace halvrick {

ApplicationIndexWatcher::ApplicationIndexWatcher(ApplicationIndex::Roots roots, int coalesceMilliseconds)
    : roots_(std::move(roots)), current_(std::make_shared<const ApplicationIndex>()) {
    pool_.setMaxThreadCount(1);
    coalesce_.setSingleShot(true);
    coalesce_.setInterval(coalesceMilliseconds);
    QObject::connect(&coalesce_, &QTimer::timeout, &context_, [this] { rebuild(); });
    // Not restarted by later changes, so a folder that keeps changing still gets rebuilt.
    const auto changed = [this] {
        if (!coalesce_.isActive()) {
            coalesce_.start();
        }
    };
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &context_, changed);
    rebuild();
}

ApplicationIndexWatcher::~ApplicationIndexWatcher() = default;

void ApplicationIndexWatcher::rebuild() {
    if (building_) {
        changedWhileBuilding_ = true;
        return;
    }
    building_ = true;
    QObject* context = &context_;
    pool_.start([this, context, roots = roots_] {
        auto index = std::make_shared<const ApplicationIndex>(ApplicationIndex::build(roots));
        QMetaObject::invokeMethod(context, [this, index] { adopt(index); }, Qt::QueuedConnection);
    });
}

void ApplicationIndexWatcher::adopt(std::shared_ptr<const ApplicationIndex> index) {
    current_ = std::move(index);
    building_ = false;
    if (const QStringList old = watcher_.directories(); !old.isEmpty()) {
        watcher_.removePaths(old);
    }
    QStringList folders;
    for (const std::string& folder : current_->watchedFolders()) {
        folders.append(QFile::decodeName(QByteArray::fromStdString(folder)));
    }
    if (!folders.isEmpty()) {
        watcher_.addPaths(folders);
    }
    if (changedWhileBuilding_) {
        changedWhileBuilding_ = false;
        rebuild();
    }
    if (onRebuilt) {
        onRebuilt();
    }
}

} // namespace halvrick
