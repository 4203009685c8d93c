#include "reports/VitalsFolderSection.h"

#include "model/Copy.h"
#include "reports/FolderSparkline.h"
#include "reports/VitalsPanel.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* label(QWidget* parent, TextStyle style, Theme::Tone tone, bool wraps = false) {
    QLabel* made = Theme::label(parent, style, tone);
    made->setWordWrap(wraps);
    // A wrapped label may be given room for more lines than it needs: the text stays at its top.
    made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return made;
}

QIcon folderIcon(const QWidget& widget) {
    return QIcon::fromTheme(QStringLiteral("folder"), widget.style()->standardIcon(QStyle::SP_DirIcon));
}

} // namespace

VitalsFolderSection::VitalsFolderSection(std::vector<FolderSizer::Folder> folders, QWidget* parent)
    : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(7);

    auto* header = new QHBoxLayout;
    QLabel* title = label(this, TextStyle::caption, Theme::Tone::secondary);
    QFont semibold = title->font();
    semibold.setWeight(QFont::DemiBold);
    title->setFont(semibold);
    title->setText(QStringLiteral("Folders"));
    header->addWidget(title);
    measuredAt_ = label(this, TextStyle::caption2, Theme::Tone::tertiary);
    header->addWidget(measuredAt_);
    header->addStretch(1);
    measureNow_ = new QPushButton(QStringLiteral("Measure now"), this);
    measureNow_->setFont(Theme::font(TextStyle::callout, measureNow_->font(), true));
    measureNow_->setAutoDefault(false);
    connect(measureNow_, &QPushButton::clicked, this, [this] {
        if (onMeasureNow) {
            onMeasureNow();
        }
    });
    header->addWidget(measureNow_);
    stack->addLayout(header);

    measuring_ = new QWidget(this);
    auto* measuringLine = new QHBoxLayout(measuring_);
    measuringLine->setContentsMargins(0, 0, 0, 0);
    measuringLine->setSpacing(8);
    auto* spinner = new QProgressBar(measuring_);
    spinner->setRange(0, 0);
    spinner->setTextVisible(false);
    spinner->setFixedSize(48, 6);
    measuringLine->addWidget(spinner);
    QLabel* measuringText = label(measuring_, TextStyle::callout, Theme::Tone::secondary);
    measuringText->setText(QStringLiteral("Measuring Downloads, Desktop and Documents…"));
    measuringLine->addWidget(measuringText, 1);
    stack->addWidget(measuring_);

    rowsArea_ = new QWidget(this);
    auto* rowsStack = new QVBoxLayout(rowsArea_);
    rowsStack->setContentsMargins(0, 0, 0, 0);
    rowsStack->setSpacing(7);
    for (const FolderSizer::Folder& folder : folders) {
        addRow(folder);
    }
    rowNote_ = label(rowsArea_, TextStyle::caption, Theme::Tone::secondary, true);
    rowsStack->addWidget(rowNote_);
    stack->addWidget(rowsArea_);

    waitingNote_ = label(this, TextStyle::callout, Theme::Tone::secondary, true);
    stack->addWidget(waitingNote_);
    weekSummary_ = label(this, TextStyle::caption2, Theme::Tone::secondary, true);
    stack->addWidget(weekSummary_);
    // Whether a folder can be read is up to its permissions; there is no settings page to send the user to.
    access_ = label(this, TextStyle::caption2, Theme::Tone::secondary, true);
    access_->setText(QStringLiteral("Some folders can't be read. Check their permissions."));
    stack->addWidget(access_);
    partlyMeasured_ = label(this, TextStyle::caption2, Theme::Tone::secondary, true);
    stack->addWidget(partlyMeasured_);
}

void VitalsFolderSection::addRow(const FolderSizer::Folder& folder) {
    RowWidgets row{folder, new QWidget(rowsArea_), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    auto* line = new QHBoxLayout(row.row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    const QString name = text(Copy::vitalsFolderName(folder.key));
    QLabel* title = label(row.row, TextStyle::callout, Theme::Tone::primary);
    title->setText(name);
    title->setFixedWidth(80);
    line->addWidget(title, 0, Qt::AlignBaseline);
    row.sizes = label(row.row, TextStyle::caption, Theme::Tone::secondary);
    line->addWidget(row.sizes, 0, Qt::AlignBaseline);
    row.sparkline = new FolderSparkline(row.row);
    line->addWidget(row.sparkline, 0, Qt::AlignVCenter);
    line->addSpacing(8);
    line->addStretch(1);

    row.changeColumn = new QWidget(row.row);
    auto* column = new QVBoxLayout(row.changeColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    row.change = label(row.changeColumn, TextStyle::callout, Theme::Tone::primary);
    column->addWidget(row.change, 0, Qt::AlignRight);
    row.since = label(row.changeColumn, TextStyle::caption2, Theme::Tone::secondary);
    column->addWidget(row.since, 0, Qt::AlignRight);
    line->addWidget(row.changeColumn, 0, Qt::AlignTop);
    row.firstReading = label(row.row, TextStyle::caption2, Theme::Tone::secondary);
    row.firstReading->setText(QStringLiteral("first reading"));
    line->addWidget(row.firstReading, 0, Qt::AlignBaseline);

    row.reveal = new QToolButton(row.row);
    row.reveal->setAutoRaise(true);
    row.reveal->setIcon(folderIcon(*row.reveal));
    row.reveal->setIconSize(QSize(14, 14));
    row.reveal->setToolTip(text(Copy::vitalsFoldersReveal));
    row.reveal->setAccessibleName("Show " + name + " in file manager");
    connect(row.reveal, &QToolButton::clicked, this, [this, path = folder.path] {
        if (onReveal) {
            onReveal(path);
        }
    });
    line->addWidget(row.reveal, 0, Qt::AlignVCenter);
    rowsArea_->layout()->addWidget(row.row);
    rows_.push_back(row);
}

void VitalsFolderSection::setFigures(const Figures& figures) {
    state_ = FolderSection::state(figures.measuring, !figures.sizesToday.empty(), !figures.denied.empty());
    const bool measuring = state_ == FolderSection::State::measuring;

    if (!measuring && figures.measuredAt) {
        Theme::setTextIfChanged(*measuredAt_,
                                "Measured " + text(Copy::timeFormatter(*figures.measuredAt, figures.calendar)));
    }
    measuredAt_->setVisible(!measuring && figures.measuredAt);
    measureNow_->setVisible(!measuring);
    measuring_->setVisible(measuring);

    std::vector<std::string> keys;
    for (const RowWidgets& row : rows_) {
        keys.push_back(row.folder.key);
    }
    const bool showsRows = state_ == FolderSection::State::rows;
    rowsArea_->setVisible(showsRows);
    if (showsRows) {
        const std::vector<FolderSection::Row> rows =
            FolderSection::rows(keys, figures.comparisons, figures.sizesToday, figures.denied);
        const std::map<std::string, FolderTrend> trends = FolderSection::trendsByKey(figures.trends);
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            const auto trend = trends.find(rows[i].key);
            showRow(rows_[i], rows[i], trend == trends.end() ? nullptr : &trend->second, figures);
        }
    }
    const std::optional<std::string> note =
        FolderSection::note(state_, figures.hasEarlierSizes, figures.storageMovedElsewhere);
    QLabel* shown = showsRows ? rowNote_ : waitingNote_;
    QLabel* other = showsRows ? waitingNote_ : rowNote_;
    if (note) {
        Theme::setTextIfChanged(*shown, text(*note));
    }
    shown->setVisible(note.has_value());
    other->hide();

    const std::optional<std::string> summary =
        measuring ? std::nullopt : FolderSection::weekSummary(figures.trends, Copy::vitalsFolderName);
    if (summary) {
        Theme::setTextIfChanged(*weekSummary_, text(*summary));
    }
    weekSummary_->setVisible(summary.has_value());
    access_->setVisible(figures.accessDenied);
    // Like the access note, it tells of the last measurement, also while the next one runs.
    const std::optional<std::string> partly =
        FolderSection::partlyMeasuredNote(keys, figures.partlyMeasured, Copy::vitalsFolderName);
    if (partly) {
        Theme::setTextIfChanged(*partlyMeasured_, text(*partly));
    }
    partlyMeasured_->setVisible(partly.has_value());
}

void VitalsFolderSection::showRow(RowWidgets& row, const FolderSection::Row& figures, const FolderTrend* trend,
                                  const Figures& all) {
    const FolderSection::RowText words = FolderSection::rowText(figures);
    const bool compared = words.middle == FolderSection::RowText::Middle::comparison;
    Theme::setTextIfChanged(*row.sizes, text(words.sizes));
    row.sparkline->setVisible(compared && trend);
    if (compared && trend) {
        row.sparkline->setTrend(trend->points, all.now, all.calendar);
        const QString help = text(FolderSection::trendHelp(*trend));
        if (row.sparkline->toolTip() != help) {
            row.sparkline->setToolTip(help);
        }
    }
    row.changeColumn->setVisible(compared);
    if (compared) {
        Theme::setTextIfChanged(*row.change, text(words.change));
        // A folder that grew stands out; one that shrank or stayed does not.
        const QColor tone = Theme::text(words.grew ? Theme::Tone::primary : Theme::Tone::secondary, palette());
        if (row.change->palette().color(QPalette::WindowText) != tone) {
            Theme::setTextColour(*row.change, tone);
        }
        if (words.moved) {
            const FolderGrowth& c = *figures.comparison;
            Theme::setTextIfChanged(*row.since, text(Copy::vitalsFolderSince(c.earlierDay, c.earlierDate, all.now,
                                                                             all.calendar)));
        }
        row.since->setVisible(words.moved);
    }
    row.firstReading->setVisible(words.middle == FolderSection::RowText::Middle::firstReading);
}

} // namespace halvrick
