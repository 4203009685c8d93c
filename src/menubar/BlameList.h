#pragma once

#include "core/AppKey.h"
#include "core/ThermalLevel.h"

#include <QWidget>
#include <functional>
#include <map>
#include <vector>

namespace halvrick {

class AppDirectory;
class BlameModel;
class BlameRow;
class SystemPartsView;

// Who is heating the machine: one row per top application, the system's busy parts under the system
// row. Rows are kept per key, so that hover and focus survive a refresh; Quit, its confirmation and its
// cancel go straight to the blame model.
class BlameList : public QWidget {
    Q_OBJECT

public:
    BlameList(BlameModel& blame, AppDirectory& apps, QWidget* parent = nullptr);

    // Rows come, go and move to follow the top applications. Returns whether any did.
    bool refresh(ThermalLevel thermal);
    // Only what the rows on show say: none comes, goes or moves. A row that left the list keeps its
    // last figure.
    void refreshFigures();

    // A row's Ignore.
    std::function<void(const AppKey& key)> onIgnore;

    const std::map<AppKey, BlameRow*>& rows() const { return rows_; }
    const SystemPartsView& systemParts() const { return *systemParts_; }
    // The order the rows stand in, top to bottom.
    std::vector<AppKey> rowOrder() const;

private:
    BlameModel& blame_;
    AppDirectory& apps_;
    std::map<AppKey, BlameRow*> rows_;
    SystemPartsView* systemParts_;
};

} // namespace halvrick
