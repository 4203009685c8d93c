#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/FolderGrowth.h"
#include "core/FolderSection.h"
#include "sampling/FolderSizer.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QToolButton;

namespace halvrick {

class FolderSparkline;

// The folder part of "What changed": Downloads, Desktop and Documents with today's size, the change
// against the last earlier day that measured them and a seven-day sparkline; the notes, the week's
// summary and what to do about folders that cannot be read. One row per folder, made once; refreshes
// only change what they show.
class VitalsFolderSection : public QWidget {
public:
    // Everything the section shows, as the model has it.
    struct Figures {
        bool measuring = false;
        bool accessDenied = false;
        std::set<std::string> denied;
        std::set<std::string> partlyMeasured;
        std::vector<FolderGrowth> comparisons;
        std::vector<FolderTrend> trends;
        std::map<std::string, std::uint64_t> sizesToday;
        std::optional<Date> measuredAt;
        bool hasEarlierSizes = false;
        bool storageMovedElsewhere = false;
        Date now;
        Calendar calendar;
    };

    struct RowWidgets {
        FolderSizer::Folder folder;
        QWidget* row;
        QLabel* sizes;
        FolderSparkline* sparkline;
        QWidget* changeColumn;
        QLabel* change;
        QLabel* since;
        QLabel* firstReading;
        QToolButton* reveal;
    };

    VitalsFolderSection(std::vector<FolderSizer::Folder> folders, QWidget* parent = nullptr);

    void setFigures(const Figures& figures);

    // "Measure now" was pressed.
    std::function<void()> onMeasureNow;
    // A folder's button was pressed; its path.
    std::function<void(const std::string& path)> onReveal;

    FolderSection::State state() const { return state_; }
    const QLabel& measuredAt() const { return *measuredAt_; }
    QPushButton& measureNow() const { return *measureNow_; }
    const QWidget& measuringLine() const { return *measuring_; }
    const std::vector<RowWidgets>& rows() const { return rows_; }
    const QLabel& rowNote() const { return *rowNote_; }
    const QLabel& waitingNote() const { return *waitingNote_; }
    const QLabel& weekSummary() const { return *weekSummary_; }
    const QLabel& access() const { return *access_; }
    const QLabel& partlyMeasured() const { return *partlyMeasured_; }

private:
    void addRow(const FolderSizer::Folder& folder);
    void showRow(RowWidgets& row, const FolderSection::Row& figures, const FolderTrend* trend,
                 const Figures& all);

    std::vector<RowWidgets> rows_;
    FolderSection::State state_ = FolderSection::State::waiting;
    QLabel* measuredAt_;
    QPushButton* measureNow_;
    QWidget* measuring_;
    QWidget* rowsArea_;
    QLabel* rowNote_;
    QLabel* waitingNote_;
    QLabel* weekSummary_;
    QLabel* access_;
    QLabel* partlyMeasured_;
};

} // namespace halvrick
