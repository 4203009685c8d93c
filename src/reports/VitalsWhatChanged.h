#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/VitalsEvent.h"
#include "reports/VitalsPanel.h"
#include "sampling/FolderSizer.h"

#include <vector>

class QLabel;

namespace halvrick {

struct VitalsComparison;
class VitalsFolderSection;

// The "What changed" panel: the machine now against this morning, yesterday at this time and a week
// ago; the folder section; the latest logged events with how long ago they happened. Rows are made
// the first time they are needed and kept; later refreshes change their texts or hide them.
class VitalsWhatChanged : public VitalsPanel {
public:
    static constexpr std::size_t eventLimit = 8;

    struct Line {
        QWidget* row;
        QLabel* text;
        QLabel* value;
    };

    VitalsWhatChanged(std::vector<FolderSizer::Folder> folders, QWidget* parent = nullptr);

    void setComparisons(const std::vector<VitalsComparison>& comparisons);
    // Newest first; the first eventLimit are listed.
    void setEvents(const std::vector<VitalsEvent>& events, Date now, const Calendar& calendar);

    VitalsFolderSection& folders() const { return *folders_; }
    const QLabel& noComparisons() const { return *noComparisons_; }
    const std::vector<Line>& comparisonLines() const { return comparisonLines_; }
    const QLabel& noEvents() const { return *noEvents_; }
    const std::vector<Line>& eventLines() const { return eventLines_; }

private:
    Line& line(std::vector<Line>& lines, std::size_t index, QWidget* area, bool isEvent);

    QLabel* noComparisons_;
    QWidget* comparisonArea_;
    std::vector<Line> comparisonLines_;
    VitalsFolderSection* folders_;
    QLabel* noEvents_;
    QWidget* eventArea_;
    std::vector<Line> eventLines_;
};

} // namespace halvrick
