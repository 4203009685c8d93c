#pragma once

#include "core/VitalsDay.h"
#include "reports/VitalsPanel.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QLabel;

namespace halvrick {

class ElidedLabel;
class VitalsBar;

// The "Memory by app" panel: the applications holding the most memory, each with a bar against the
// largest and how it moved since yesterday's peak. Rows are made once and reused.
class VitalsMemoryByApp : public VitalsPanel {
public:
    static constexpr std::size_t appLimit = 6;

    struct Line {
        QWidget* row;
        ElidedLabel* name;
        QLabel* bytes;
        QLabel* note;
        VitalsBar* bar;
    };

    explicit VitalsMemoryByApp(QWidget* parent = nullptr);

    // `apps` largest first; `yesterday` maps application ids to yesterday's peak.
    void setApps(const std::vector<AppMemory>& apps, const std::map<std::string, std::uint64_t>& yesterday);

    const QLabel& empty() const { return *empty_; }
    const std::vector<Line>& lines() const { return lines_; }

private:
    Line& line(std::size_t index);

    QLabel* empty_;
    QWidget* area_;
    std::vector<Line> lines_;
};

} // namespace halvrick
