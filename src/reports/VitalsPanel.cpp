#include "reports/VitalsPanel.h"

#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace halvrick {

namespace {

RoundedPanel::Look panelLook(const QPalette& palette) {
    return {Theme::text(Theme::Tone::secondary, palette, 0.07), 12, {}, 1};
}

} // namespace

QLabel* plainLabel(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    return label;
}

VitalsPanel::VitalsPanel(int padding, int spacing, QWidget* parent)
    : RoundedPanel(panelLook(parent ? parent->palette() : QPalette()), parent), column_(new QVBoxLayout(this)) {
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(spacing);
}

QLabel* VitalsPanel::addTitle(const QString& text) {
    QLabel* title = plainLabel(Theme::label(this, TextStyle::caption, Theme::Tone::secondary));
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
    QLabel* name = plainLabel(Theme::label(line, TextStyle::caption, Theme::Tone::secondary));
    name->setText(label);
    layout->addWidget(name);
    layout->addStretch(1);
    QLabel* value = plainLabel(Theme::label(line, TextStyle::caption));
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
