#include "settings/SettingsForm.h"

#include "ui/Theme.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace halvrick::SettingsForm {

QVBoxLayout* makePane(QWidget& pane) {
    auto* outer = new QVBoxLayout(&pane);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(&pane);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    auto* sections = new QVBoxLayout(content);
    sections->setContentsMargins(16, 12, 16, 12);
    sections->setSpacing(12);
    // Rows added later grow the content, and the scroll area scrolls instead of squeezing them.
    sections->setSizeConstraint(QLayout::SetMinimumSize);
    return sections;
}

QVBoxLayout* addSection(QVBoxLayout& pane, const QString& title, QGroupBox** box) {
    auto* group = new QGroupBox(title);
    pane.addWidget(group);
    auto* rows = new QVBoxLayout(group);
    rows->setSpacing(6);
    if (box) {
        *box = group;
    }
    return rows;
}

QLabel* caption(const QString& text, QWidget* parent) {
    return Theme::wrappingLabel(parent, text, TextStyle::caption, Theme::Tone::secondary);
}

QBoxLayout* addRow(QVBoxLayout& section, int spacing) {
    auto* row = new QHBoxLayout;
    if (spacing >= 0) {
        row->setSpacing(spacing);
    }
    section.addLayout(row);
    return row;
}

void setChecked(QCheckBox& box, bool checked) {
    const QSignalBlocker blocker(box);
    box.setChecked(checked);
}

} // namespace halvrick::SettingsForm
