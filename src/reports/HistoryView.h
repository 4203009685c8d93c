#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/Personality.h"
#include "model/ReportPeriod.h"
#include "reports/CulpritRow.h"
#include "reports/HistoryExport.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace halvrick {

class ChallengeSection;
class CulpritList;
class GradeRow;
class HistoryChartView;
class SavePathChooser;
class SegmentedControl;
class ShareButton;
class StatTile;
class StatsLedger;
class SweatCalendarView;

// The content of the "History & Trends" window: a header with the period's range and a period picker,
// the action bar (save, share, CSV, done), and the period's report sections, or a dozing pea when the
// period has nothing yet. Every figure is read from the ledger at the moment of a refresh; a new view
// starts at the week with no message. Main thread only.
class HistoryView : public QWidget {
public:
    // Where the view reads and writes, its files' sources among them; tests hand in fixtures.
    struct Source : HistoryExport::Source {
        // The desktop's increased contrast, for the grade's colours.
        std::function<bool()> increaseContrast;
        // This week's challenge, below the grade row, refreshed with the view; none leaves it out.
        std::function<ChallengeSection*(QWidget* parent)> challengeSection;
    };

    static constexpr const char* failureMessage = "Couldn't make the image. Try again?";
    static constexpr const char* keepingScore =
        "Use the computer for a little while and I'll start keeping score.";

    explicit HistoryView(Source source, QWidget* parent = nullptr);
    ~HistoryView() override;

    ReportPeriod period() const { return period_; }
    // As the picker does: re-reads everything for that period.
    void setPeriod(ReportPeriod period);
    // The result of the last save or export; empty until one ran.
    const QString& message() const { return message_; }
    // Reads the ledger again and updates every section in place.
    void refresh();

    // Renders the period's report card to its file and returns the path; nothing, with the message
    // set, when it could not be made.
    std::optional<QString> exportFile();
    // Today's grade card, the same way; nothing without a grade for today.
    std::optional<QString> gradeFile();
    // "Save PNG…": the card through the save dialog.
    void saveCard();
    // "Export CSV…": every stored day, through the save dialog.
    void exportCSV();

    // Parts, for tests and the window.
    SegmentedControl& picker() const { return *picker_; }
    QLabel& rangeLabel() const { return *range_; }
    QPushButton& saveButton() const { return *save_; }
    ShareButton& shareButton() const { return *share_; }
    QPushButton& csvButton() const { return *csv_; }
    QPushButton& doneButton() const { return *done_; }
    bool showsEmptyState() const;
    QLabel& emptyTitle() const { return *emptyTitle_; }
    bool showsCalendar() const;
    GradeRow& gradeRow() const { return *gradeRow_; }
    const std::vector<StatTile*>& summaryTiles() const { return summaryTiles_; }
    const std::vector<StatTile*>& calendarTiles() const { return calendarTiles_; }
    SweatCalendarView& heatmap() const { return *heatmap_; }
    HistoryChartView& chart() const { return *chart_; }
    CulpritList& blameHistory() const { return *blame_; }
    CulpritList& culprits() const { return *culprits_; }
    CulpritList& hallOfFlame() const { return *hallOfFlame_; }
    QScrollArea& sections() const { return *scroll_; }

private:
    QWidget* makeHeader();
    QWidget* makeActionBar();
    QWidget* makeSections();
    QWidget* makeEmptyView();
    void setMessage(const QString& message);
    // Words how an export ended; an empty `done` leaves the line as it is.
    void report(HistoryExport::Outcome outcome, const QString& done, const QString& nothingToExport);
    void refreshSections(const StatsLedger& ledger, const StatsTotals& totals,
                         const std::vector<DailyTotals>& days, Date now, const Calendar& calendar);

    Source source_;
    HistoryExport files_;
    ReportPeriod period_ = ReportPeriod::week;
    QString message_;

    SegmentedControl* picker_ = nullptr;
    QLabel* range_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QPushButton* save_ = nullptr;
    ShareButton* share_ = nullptr;
    QPushButton* csv_ = nullptr;
    QPushButton* done_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* emptyTitle_ = nullptr;
    GradeRow* gradeRow_ = nullptr;
    ChallengeSection* challenge_ = nullptr;
    std::vector<StatTile*> summaryTiles_;
    QWidget* calendarSection_ = nullptr;
    SweatCalendarView* heatmap_ = nullptr;
    std::vector<StatTile*> calendarTiles_;
    HistoryChartView* chart_ = nullptr;
    CulpritList* blame_ = nullptr;
    CulpritList* culprits_ = nullptr;
    CulpritList* hallOfFlame_ = nullptr;
};

} // namespace halvrick
