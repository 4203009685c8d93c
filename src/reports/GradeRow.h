#pragma once

#include "core/Calendar.h"
#include "core/DailyGrade.h"
#include "core/Date.h"
#include "core/Personality.h"
#include "core/StatsQueries.h"
#include "ui/RoundedPanel.h"
#include "ui/ShareButton.h"

#include <QString>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace halvrick {

class GlyphView;
class PeaView;

// The top of the habit section: today's grade as a badge, its sentence in the user's voice, a chip per
// day of the last week and "Share grade…" while there is a grade. Reads only what it is given.
class GradeRow : public RoundedPanel {
public:
    static constexpr const char* scaleHelp =
        "Heat, breaks taken and your longest stretch, out of 100. A is 90+, B is 80–89, C is 70–79, D is "
        "60–69, and F is under 60.";
    static constexpr const char* noGradeLine = "Not enough time at the computer yet. A grade starts after 15 minutes.";
    static constexpr const char* shareTitle = "Share grade…";

    // One day's chip.
    struct Chip {
        std::string day;
        // The letter, or an en dash without a grade.
        QString letter;
        QString weekday;
        bool hasGrade = false;
        // The day the calendar calls today, whatever its place in the row.
        bool isToday = false;
        QString accessibleLabel;

        friend bool operator==(const Chip&, const Chip&) = default;
    };

    static std::vector<Chip> chips(const std::vector<DailyTotals>& days, Date now, const Calendar& calendar);
    // The last day is today's, even when the row was built before midnight.
    static std::optional<DailyGrade> todayGrade(const std::vector<DailyTotals>& days);

    explicit GradeRow(ShareButton::MakeFile makeShareFile, QWidget* parent = nullptr);

    // `days` oldest first; `highContrast` is the desktop's increased contrast.
    void set(const std::vector<DailyTotals>& days, Personality personality, Date now, const Calendar& calendar,
             bool highContrast);

    const std::optional<DailyGrade>& grade() const { return grade_; }
    const std::vector<Chip>& shownChips() const { return chips_; }
    QLabel& line() const { return *line_; }
    QWidget& badge() const { return *badge_; }
    ShareButton& shareButton() const { return *share_; }
    GlyphView& info() const { return *info_; }
    // The badge's colour in the palette and contrast in force.
    QColor tint() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuildChips();

    std::optional<DailyGrade> grade_;
    std::vector<Chip> chips_;
    bool highContrast_ = false;
    QWidget* badge_;
    PeaView* dozing_;
    QLabel* line_;
    GlyphView* info_;
    QHBoxLayout* chipRow_;
    std::vector<QWidget*> chipViews_;
    ShareButton* share_;
};

} // namespace halvrick
