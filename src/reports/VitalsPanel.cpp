#include "reports/VitalsPanel.h"

#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

RoundedPanel::Look panelLook(const QPalette& palette) {
    return {Theme::text(Theme::Tone::secondary, palette, 0.07), 12, {}, 1};
}

} // namespace

VitalsFigure addVitalsFigure(QBoxLayout& layout, QWidget* parent) {
    QLabel* figure = Theme::label(parent, TextStyle::title2);
    QFont font = figure->font();
    font.setPixelSize(26);
    font.setWeight(QFont::DemiBold);
    figure->setFont(font);
    QLabel* total = Theme::label(parent, TextStyle::caption, Theme::Tone::secondary);
    // Box layouts know no baselines: both sit on the bottom, the small text raised by the difference
    // of the descents.
    const int raise = figure->fontMetrics().descent() - total->fontMetrics().descent();
    total->setContentsMargins(0, 0, 0, std::max(0, raise));
    auto* row = new QHBoxLayout;
    row->setSpacing(5);
    row->addWidget(figure, 0, Qt::AlignBottom);
    row->addWidget(total, 0, Qt::AlignBottom);
    row->addStretch(1);
    layout.addLayout(row);
    return {figure, total};
}

VitalsPanel::VitalsPanel(int padding, int spacing, QWidget* parent)
    : RoundedPanel(panelLook(parent ? parent->palette() : QPalette()), parent), column_(new QVBoxLayout(this)) {
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(spacing);
    // Room beyond what the content needs goes below it, not between its lines.
    column_->setAlignment(Qt::AlignTop);
}

QLabel* VitalsPanel::addTitle(const QString& text) {
    QLabel* title = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    QFont font = title->font();
    font.setWeight(QFont::DemiBold);
    title->setFont(font);
    title->setText(text);
    column_->addWidget(title);
    return title;
}

QLabel* VitalsPanel::addDetail(const QString& label, QWidget** row) {
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* name = Theme::label(line, TextStyle::caption, Theme::Tone::secondary);
    name->setText(label);
    layout->addWidget(name);
    layout->addStretch(1);
    QLabel* value = Theme::label(line, TextStyle::caption);
    layout->addWidget(value);
    column_->addWidget(line);
    if (row) {
        *row = line;
    }
    return value;
}

void VitalsPanel::changeEvent(QEvent* event) {
    RoundedPanel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        setLook(panelLook(palette()));
    }
}

} // namespace halvrick
