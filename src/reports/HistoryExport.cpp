#include "reports/HistoryExport.h"

#include "core/DailyGrade.h"
#include "core/Error.h"
#include "core/StatsLedger.h"
#include "core/SweatCSV.h"
#include "model/Copy.h"
#include "reports/GradeCard.h"
#include "reports/ReportCard.h"
#include "ui/AtomicFile.h"
#include "ui/CardExport.h"
#include "ui/CardLook.h"
#include "ui/HistoryDates.h"
#include "ui/SavePathChooser.h"

#include <vector>

namespace halvrick {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

} // namespace

HistoryExport::HistoryExport(Source source) : source_(std::move(source)) {}

QString HistoryExport::cardFileName(ReportPeriod period, Date now, const Calendar& calendar) {
    return text(Copy::reportTitle(period, now, calendar)) + QLatin1Char(' ') +
           text(StatsLedger::dayKey(now, calendar)) + QStringLiteral(".png");
}

HistoryExport::Card HistoryExport::reportCard(ReportPeriod period) const {
    const Date now = source_.now();
    const Calendar calendar = source_.calendar();
    const StatsTotals totals = periodTotals(source_.ledger(), period, now, calendar);
    const ReportCard::Content card = ReportCard::make(period, totals, now, calendar, source_.icons);
    return writeCard(cardFileName(period, now, calendar),
                     [&card](QPainter& painter, QSizeF size) { ReportCard::paint(painter, size, card); });
}

HistoryExport::Card HistoryExport::writeCard(const QString& fileName, const CardPainter& paint) const {
    const std::optional<QString> path = source_.cardPath(fileName);
    try {
        if (!path) {
            throw Error("no private folder for cards");
        }
        PngExport::writePNG(paint, CardLook::size, CardLook::scale, *path);
    } catch (const Error&) {
        return {Outcome::failed, std::nullopt};
    }
    return {Outcome::done, path};
}

HistoryExport::Card HistoryExport::gradeCard() const {
    const StatsLedger& ledger = source_.ledger();
    const Date now = source_.now();
    const Calendar calendar = source_.calendar();
    const std::vector<DailyTotals> today = ledger.dailyTotals(1, now, calendar);
    const std::optional<DailyGrade> grade = today.empty() ? std::nullopt : DailyGrade::evaluate(today.back());
    if (!grade) {
        return {Outcome::nothingToExport, std::nullopt};
    }
    const StatsTotals totals = ledger.totals(1, now, calendar);
    GradeCard::Content card{
        *grade, today.back(),
        totals.culprits.empty() ? std::nullopt : std::optional(totals.culprits.front().name),
        source_.personality(), HistoryDates::format(today.back().date, calendar, HistoryDates::weekdayDay)};
    return writeCard(QStringLiteral("Halvrick Grade ") + text(StatsLedger::dayKey(now, calendar)) +
                         QStringLiteral(".png"),
                     [&card](QPainter& painter, QSizeF size) { GradeCard::paint(painter, size, card); });
}

HistoryExport::Outcome HistoryExport::saveCard(const QString& card, QWidget* dialogParent) const {
    switch (CardExport::save(card, *source_.chooser, dialogParent)) {
    case CardExport::Outcome::saved:
        return Outcome::done;
    case CardExport::Outcome::failed:
        return Outcome::failed;
    case CardExport::Outcome::cancelled:
        break;
    }
    return Outcome::cancelled;
}

HistoryExport::Outcome HistoryExport::exportCSV(QWidget* dialogParent) const {
    const std::vector<DailyTotals> days = source_.ledger().allDailyTotals(source_.now(), source_.calendar());
    if (days.empty()) {
        return Outcome::nothingToExport;
    }
    const SaveRequest request{QStringLiteral("Halvrick history.csv"), QStringLiteral("CSV (*.csv)"),
                              QStringLiteral("csv")};
    const std::optional<QString> chosen = source_.chooser->choose(dialogParent, request);
    if (!chosen) {
        return Outcome::cancelled;
    }
    const auto error = AtomicFile::write(SavePathChooser::withSuffix(*chosen, request.suffix),
                                         QByteArray::fromStdString(SweatCSV::text(days)));
    return error ? Outcome::failed : Outcome::done;
}

} // namespace halvrick
