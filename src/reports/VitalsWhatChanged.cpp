#include "reports/VitalsWhatChanged.h"

#include "core/VitalsEventAge.h"
#include "core/VitalsFigures.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "reports/VitalsFolderSection.h"
#include "ui/Theme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

QWidget* area(QWidget* parent, int spacing) {
    auto* made = new QWidget(parent);
    auto* stack = new QVBoxLayout(made);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    return made;
}

} // namespace

VitalsWhatChanged::VitalsWhatChanged(std::vector<FolderSizer::Folder> folders, QWidget* parent)
    : VitalsPanel(16, 10, parent) {
    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(QStringLiteral("What changed"));
    column().addWidget(title);

    noComparisons_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    noComparisons_->setText(QStringLiteral("Nothing much changed."));
    column().addWidget(noComparisons_);
    comparisonArea_ = area(this, 10);
    column().addWidget(comparisonArea_);

    folders_ = new VitalsFolderSection(std::move(folders), this);
    column().addWidget(folders_);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    column().addWidget(divider);

    noEvents_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    noEvents_->setText(QStringLiteral("Nothing worth mentioning yet. The pea is watching."));
    column().addWidget(noEvents_);
    eventArea_ = area(this, 10);
    column().addWidget(eventArea_);
}

VitalsWhatChanged::Line& VitalsWhatChanged::line(std::vector<Line>& lines, std::size_t index, QWidget* area,
                                                 bool isEvent) {
    while (lines.size() <= index) {
        auto* row = new QWidget(area);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(isEvent ? 10 : 6);
        QLabel* words = Theme::label(row, TextStyle::callout);
        words->setWordWrap(isEvent);
        layout->addWidget(words, isEvent ? 1 : 0, Qt::AlignBaseline);
        if (!isEvent) {
            layout->addStretch(1);
        }
        QLabel* value = Theme::label(row, isEvent ? TextStyle::caption : TextStyle::callout,
                                      Theme::Tone::secondary);
        layout->addWidget(value, 0, Qt::AlignBaseline);
        area->layout()->addWidget(row);
        lines.push_back({row, words, value});
    }
    return lines[index];
}

void VitalsWhatChanged::setComparisons(const std::vector<VitalsComparison>& comparisons) {
    noComparisons_->setVisible(comparisons.empty());
    comparisonArea_->setVisible(!comparisons.empty());
    for (std::size_t i = 0; i < comparisons.size(); ++i) {
        Line& shown = line(comparisonLines_, i, comparisonArea_, false);
        Theme::setTextIfChanged(*shown.text, text(comparisons[i].title));
        Theme::setTextIfChanged(*shown.value, text(VitalsFigures::changeText(comparisons[i].change)));
        shown.row->show();
    }
    for (std::size_t i = comparisons.size(); i < comparisonLines_.size(); ++i) {
        comparisonLines_[i].row->hide();
    }
}

void VitalsWhatChanged::setEvents(const std::vector<VitalsEvent>& events, Date now, const Calendar& calendar) {
    const std::size_t count = std::min(events.size(), eventLimit);
    noEvents_->setVisible(count == 0);
    eventArea_->setVisible(count != 0);
    for (std::size_t i = 0; i < count; ++i) {
        Line& shown = line(eventLines_, i, eventArea_, true);
        Theme::setTextIfChanged(*shown.text, text(Copy::vitalsEvent(events[i].kind)));
        Theme::setTextIfChanged(*shown.value, text(VitalsEventAge::text(events[i].date, now, calendar)));
        shown.row->show();
    }
    for (std::size_t i = count; i < eventLines_.size(); ++i) {
        eventLines_[i].row->hide();
    }
}

} // namespace halvrick
