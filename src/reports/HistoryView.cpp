#include "reports/HistoryView.h"

#include "core/DisplayText.h"
#include "core/FaceState.h"
#include "core/StatsLedger.h"
#include "core/SweatCalendar.h"
#include "model/Copy.h"
#include "pea/PeaView.h"
#include "reports/ChallengeSection.h"
#include "reports/CulpritKey.h"
#include "reports/CulpritList.h"
#include "reports/GradeRow.h"
#include "reports/HeatLegend.h"
#include "reports/HistoryChartView.h"
#include "reports/StatTile.h"
#include "reports/SweatCalendarView.h"
#include "ui/HistoryDates.h"
#include "ui/PlainText.h"
#include "ui/SegmentedControl.h"
#include "ui/ShareButton.h"
#include "ui/Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}
QString text(std::string_view value) {
    return QString::fromUtf8(value.data(), static_cast<int>(value.size()));
}
QString duration(double seconds) {
    return text(Copy::duration(seconds));
}

constexpr int blameDays = 30;
constexpr double minimumDaySweat = 60;
constexpr std::size_t topCulprits = 5;
constexpr std::size_t hallOfFlameSize = 10;
constexpr std::size_t blameRows = 5;

QString emptyLine(ReportPeriod period) {
    switch (period) {
    case ReportPeriod::week:
        return QStringLiteral("No sweat this week. Yet.");
    case ReportPeriod::month:
        return QStringLiteral("No sweat this month. Yet.");
    case ReportPeriod::year:
        return QStringLiteral("No sweat this year. Yet.");
    case ReportPeriod::allTime:
        return QStringLiteral("No sweat on record. Yet.");
    }
    return {};
}

QString dayCountText(std::int64_t days) {
    return days == 1 ? QStringLiteral("1 day") : QString::number(days) + QStringLiteral(" days");
}

// Three flexible columns, 10 apart, filled row by row.
QGridLayout* tileGrid(const std::vector<StatTile*>& tiles) {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        grid->addWidget(tiles[i], static_cast<int>(i / 3), static_cast<int>(i % 3));
    }
    for (int column = 0; column < 3; ++column) {
        grid->setColumnStretch(column, 1);
    }
    return grid;
}

std::vector<CulpritList::Row> culpritRows(const std::vector<StatsTotals::Culprit>& culprits,
                                          std::size_t limit) {
    std::vector<CulpritList::Row> rows;
    for (std::size_t i = 0; i < std::min(limit, culprits.size()); ++i) {
        rows.push_back(
            {culpritKey(culprits[i].id, culprits[i].name), {}, duration(culprits[i].sweatSeconds)});
    }
    return rows;
}

QLabel* sectionTitle(QWidget* parent, const QString& title) {
    QLabel* label = Theme::label(parent, TextStyle::headline);
    label->setText(title);
    return label;
}

QLabel* caption(QWidget* parent, const QString& value) {
    return Theme::wrappingLabel(parent, value, TextStyle::caption, Theme::Tone::secondary);
}

} // namespace

HistoryView::HistoryView(Source source, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), files_(source_) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    column->addWidget(makeHeader());
    column->addWidget(makeActionBar());
    stack_ = new QStackedWidget(this);
    stack_->addWidget(makeSections());
    stack_->addWidget(makeEmptyView());
    column->addWidget(stack_, 1);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, done_, &QPushButton::click);
    refresh();
}

HistoryView::~HistoryView() = default;

QWidget* HistoryView::makeHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(3);
    QLabel* title = Theme::label(header, TextStyle::title2);
    title->setText(QStringLiteral("History & Trends"));
    range_ = Theme::label(header, TextStyle::caption, Theme::Tone::secondary);
    titles->addWidget(title);
    titles->addWidget(range_);
    row->addLayout(titles);
    row->addStretch();
    QStringList labels;
    for (const ReportPeriod period : allReportPeriods) {
        labels << text(label(period));
    }
    picker_ = new SegmentedControl(labels, header);
    picker_->setFixedWidth(360);
    picker_->setAccessibleName(QStringLiteral("Period"));
    connect(picker_, &SegmentedControl::currentChanged, this,
            [this](int index) { setPeriod(allReportPeriods[static_cast<std::size_t>(index)]); });
    row->addWidget(picker_);
    return header;
}

QWidget* HistoryView::makeActionBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    messageLabel_ = Theme::label(bar, TextStyle::caption, Theme::Tone::secondary);
    row->addWidget(messageLabel_);
    row->addStretch();
    save_ = new QPushButton(QStringLiteral("Save PNG…"), bar);
    share_ = new ShareButton(
        QStringLiteral("Share card…"), [this] { return exportFile(); }, bar);
    share_->setFixedSize(110, 28);
    csv_ = new QPushButton(QStringLiteral("Export CSV…"), bar);
    done_ = new QPushButton(QStringLiteral("Done"), bar);
    for (QPushButton* button : {save_, csv_, done_}) {
        button->setAutoDefault(false);
    }
    connect(save_, &QPushButton::clicked, this, &HistoryView::saveCard);
    connect(csv_, &QPushButton::clicked, this, &HistoryView::exportCSV);
    connect(done_, &QPushButton::clicked, this, [this] { window()->close(); });
    row->addWidget(save_);
    row->addWidget(share_);
    row->addWidget(csv_);
    row->addWidget(done_);
    return bar;
}

QWidget* HistoryView::makeSections() {
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* content = new QWidget(scroll_);
    auto* column = new QVBoxLayout(content);
    // Qt's scroll bar takes its own room, so the column needs no gap of its own beside it.
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(20);

    auto* habits = new QVBoxLayout;
    habits->setSpacing(10);
    gradeRow_ = new GradeRow([this] { return gradeFile(); }, content);
    habits->addWidget(gradeRow_);
    if (source_.challengeSection) {
        challenge_ = source_.challengeSection(content);
        habits->addWidget(challenge_);
    }
    column->addLayout(habits);

    summaryTiles_ = {new StatTile(std::nullopt, content), new StatTile(Theme::Colour::orange, content),
                     new StatTile(std::nullopt, content), new StatTile(Theme::Colour::green, content),
                     new StatTile(std::nullopt, content), new StatTile(std::nullopt, content)};
    column->addLayout(tileGrid(summaryTiles_));

    calendarSection_ = new QWidget(content);
    auto* calendar = new QVBoxLayout(calendarSection_);
    calendar->setContentsMargins(0, 0, 0, 0);
    calendar->setSpacing(10);
    auto* calendarTitles = new QVBoxLayout;
    calendarTitles->setSpacing(3);
    calendarTitles->addWidget(sectionTitle(calendarSection_, QStringLiteral("The sweat calendar")));
    calendarTitles->addWidget(
        caption(calendarSection_,
                QStringLiteral("Every day of the last 12 months. Darker is hotter; the ring is today.")));
    calendar->addLayout(calendarTitles);
    heatmap_ = new SweatCalendarView(calendarSection_);
    calendar->addWidget(heatmap_);
    calendar->addWidget(new HeatLegend(calendarSection_));
    calendarTiles_ = {new StatTile(Theme::Colour::orange, calendarSection_),
                      new StatTile(Theme::Colour::green, calendarSection_),
                      new StatTile(Theme::Colour::green, calendarSection_)};
    calendar->addLayout(tileGrid(calendarTiles_));
    column->addWidget(calendarSection_);

    auto* chartSection = new QVBoxLayout;
    chartSection->setSpacing(8);
    chartSection->addWidget(sectionTitle(content, QStringLiteral("Heat over time")));
    chart_ = new HistoryChartView(content);
    chartSection->addWidget(chart_);
    chartSection->addWidget(caption(content, QStringLiteral("Yellow is Sweating, orange is Meltdown.")));
    column->addLayout(chartSection);

    blame_ = new CulpritList(
        QStringLiteral("Who's been sweating your computer"),
        QStringLiteral("The last %1 days, by top culprit.").arg(blameDays), true,
        QStringLiteral("No clear culprit yet. A few more days of use and a pattern shows up."), source_.icons,
        content);
    column->addWidget(blame_);
    culprits_ = new CulpritList(QStringLiteral("Who made me sweat"), {}, false,
                                QStringLiteral("Nobody. A very chill period."), source_.icons, content);
    column->addWidget(culprits_);
    hallOfFlame_ =
        new CulpritList(QStringLiteral("Hall of Flame"), QStringLiteral("All-time culprits, as of today."),
                        false, QStringLiteral("Nobody. A very chill period."), source_.icons, content);
    column->addWidget(hallOfFlame_);
    column->addStretch();
    scroll_->setWidget(content);
    return scroll_;
}

QWidget* HistoryView::makeEmptyView() {
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setSpacing(12);
    column->addStretch();
    auto* pea =
        new PeaView(face(FaceState::dozing, HeatState::chill), PeaFace::Detail::full, PeaStyle{}, page);
    pea->setFixedSize(96, 96);
    column->addWidget(pea, 0, Qt::AlignHCenter);
    emptyTitle_ = Theme::label(page, TextStyle::title3);
    QFont bold = emptyTitle_->font();
    bold.setBold(true);
    emptyTitle_->setFont(bold);
    emptyTitle_->setAlignment(Qt::AlignHCenter);
    column->addWidget(emptyTitle_);
    QLabel* hint = Theme::label(page, TextStyle::body, Theme::Tone::secondary);
    hint->setText(QString::fromLatin1(keepingScore));
    hint->setAlignment(Qt::AlignHCenter);
    hint->setWordWrap(true);
    column->addWidget(hint);
    column->addStretch();
    return page;
}

void HistoryView::setPeriod(ReportPeriod period) {
    period_ = period;
    picker_->setCurrentIndex(static_cast<int>(period));
    refresh();
}

void HistoryView::setMessage(const QString& message) {
    message_ = message;
    Theme::setTextIfChanged(*messageLabel_, message);
}

bool HistoryView::showsEmptyState() const {
    return stack_->currentIndex() == 1;
}

bool HistoryView::showsCalendar() const {
    return !showsEmptyState() && !calendarSection_->isHidden();
}

void HistoryView::refresh() {
    const StatsLedger& ledger = source_.ledger();
    const Date now = source_.now();
    const Calendar calendar = source_.calendar();
    const StatsTotals totals = periodTotals(ledger, period_, now, calendar);
    const std::vector<DailyTotals> days = periodDays(ledger, period_, now, calendar);
    const bool data = hasData(days);

    Theme::setTextIfChanged(*range_,
                            totals.firstDay && totals.lastDay
                                ? text(Copy::wrappedRange(*totals.firstDay, *totals.lastDay, calendar))
                                : QString::fromLatin1(keepingScore));
    save_->setEnabled(data);
    share_->setEnabled(data);
    csv_->setEnabled(ledger.recordedDayCount() > 0);
    if (!data) {
        Theme::setTextIfChanged(*emptyTitle_, emptyLine(period_));
        stack_->setCurrentIndex(1);
        return;
    }
    refreshSections(ledger, totals, days, now, calendar);
    stack_->setCurrentIndex(0);
}

void HistoryView::refreshSections(const StatsLedger& ledger, const StatsTotals& totals,
                                  const std::vector<DailyTotals>& days, Date now, const Calendar& calendar) {
    gradeRow_->set(ledger.dailyTotals(7, now, calendar), source_.personality(), now, calendar,
                   source_.increaseContrast && source_.increaseContrast());
    if (challenge_) {
        challenge_->refresh();
    }
    const std::array<std::pair<QString, QString>, 6> summary{{
        {duration(totals.sweatingSeconds + totals.meltdownSeconds), QStringLiteral("Hot time")},
        {duration(totals.meltdownSeconds), QStringLiteral("Meltdown")},
        {duration(totals.activeSeconds), QStringLiteral("At the computer")},
        {QString::number(totals.breaksTaken), QStringLiteral("Breaks taken")},
        {QString::number(totals.dayCount), QStringLiteral("Days tracked")},
        {duration(totals.longestStretchSeconds), QStringLiteral("Longest stretch")},
    }};
    for (std::size_t i = 0; i < summary.size(); ++i) {
        summaryTiles_[i]->set(summary[i].first, summary[i].second);
    }

    const bool showsCalendar = period_ == ReportPeriod::year || period_ == ReportPeriod::allTime;
    calendarSection_->setVisible(showsCalendar);
    if (showsCalendar) {
        const std::vector<DailyTotals> year =
            period_ == ReportPeriod::year ? days : ledger.dailyTotals(365, now, calendar);
        heatmap_->setDays(year, now, calendar);
        const auto worst = SweatCalendar::worstDay(year);
        calendarTiles_[0]->set(worst ? duration(worst->heatSeconds()) : QStringLiteral("—"),
                               worst ? QStringLiteral("Worst day · ") +
                                           HistoryDates::format(worst->date, calendar, HistoryDates::shortDay)
                                     : QStringLiteral("Worst day"));
        calendarTiles_[1]->set(dayCountText(SweatCalendar::restStreak(year, now, calendar)),
                               QStringLiteral("Rest streak"));
        calendarTiles_[2]->set(QString::number(SweatCalendar::daysWithBreak(year)),
                               QStringLiteral("Days with a break"));
    }

    chart_->setContent(HistoryChartPainting::make(days, calendar));

    std::vector<CulpritList::Row> blameRowsShown;
    QString lead;
    for (const BlameRecord& record : ledger.blameHistory(blameDays, now, minimumDaySweat, calendar)) {
        if (record.topDays <= 0 || blameRowsShown.size() == blameRows) {
            continue;
        }
        if (blameRowsShown.empty()) {
            lead = PlainText::shown(
                Copy::historyBlameLead(DisplayText::neutralised(record.name, DisplayText::longestName),
                                       record.topDays, record.days));
        }
        blameRowsShown.push_back({culpritKey(record.id, record.name), dayCountText(record.topDays),
                                  duration(record.sweatSeconds)});
    }
    blame_->set(blameRowsShown, lead);

    culprits_->set(culpritRows(totals.culprits, topCulprits));
    const StatsTotals allTime =
        period_ == ReportPeriod::allTime ? totals : ledger.allTimeTotals(now, calendar);
    hallOfFlame_->set(culpritRows(allTime.culprits, hallOfFlameSize));
}

void HistoryView::report(HistoryExport::Outcome outcome, const QString& done,
                         const QString& nothingToExport) {
    switch (outcome) {
    case HistoryExport::Outcome::done:
        if (!done.isEmpty()) {
            setMessage(done);
        }
        break;
    case HistoryExport::Outcome::failed:
        setMessage(QString::fromLatin1(failureMessage));
        break;
    case HistoryExport::Outcome::nothingToExport:
        setMessage(nothingToExport);
        break;
    case HistoryExport::Outcome::cancelled:
        break;
    }
}

std::optional<QString> HistoryView::exportFile() {
    const HistoryExport::Card card = files_.reportCard(period_);
    report(card.outcome, {}, {});
    return card.file;
}

std::optional<QString> HistoryView::gradeFile() {
    const HistoryExport::Card card = files_.gradeCard();
    report(card.outcome, {}, QStringLiteral("There isn't a grade for today yet."));
    return card.file;
}

void HistoryView::saveCard() {
    if (const std::optional<QString> file = exportFile()) {
        report(files_.saveCard(*file, window()), QStringLiteral("Saved."), {});
    }
}

void HistoryView::exportCSV() {
    report(files_.exportCSV(window()), QStringLiteral("CSV saved."), QString::fromLatin1(keepingScore));
}

} // namespace halvrick
