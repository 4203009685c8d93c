#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/Personality.h"
#include "model/ReportPeriod.h"
#include "reports/CulpritRow.h"
#include "ui/PngExport.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace halvrick {

class SavePathChooser;
class StatsLedger;

// The files of the history window: the period's report card and today's grade card, rendered into
// the private card folder to be shared or saved; a card saved where the user picks; and every stored
// day as CSV. Each says how it ended and leaves the wording to the window. Main thread only.
class HistoryExport {
public:
    struct Source {
        std::function<const StatsLedger&()> ledger;
        std::function<Date()> now;
        std::function<Calendar()> calendar;
        CulpritRow::IconSource icons;
        std::function<Personality()> personality;
        std::shared_ptr<SavePathChooser> chooser;
        // Where a card file of that name waits; nothing when there is no private folder.
        std::function<std::optional<QString>(const QString& fileName)> cardPath;
    };

    // Cancelling a dialog is no failure: the window says nothing for it.
    enum class Outcome { done, cancelled, failed, nothingToExport };

    struct Card {
        Outcome outcome;
        std::optional<QString> file; // once it was made
    };

    explicit HistoryExport(Source source);

    // Made again the same day, a card replaces its file.
    Card reportCard(ReportPeriod period) const;
    // Nothing to export without a grade for today.
    Card gradeCard() const;
    // Offers a card file through the save dialog.
    Outcome saveCard(const QString& card, QWidget* dialogParent) const;
    // Nothing to export when no day is stored; a failed write leaves the chosen file as it was.
    Outcome exportCSV(QWidget* dialogParent) const;

    // The report card's file name for the period on the day of `now`.
    static QString cardFileName(ReportPeriod period, Date now, const Calendar& calendar);

private:
    Card writeCard(const QString& fileName, const CardPainter& paint) const;

    Source source_;
};

} // namespace halvrick
