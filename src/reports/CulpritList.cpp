#include "reports/CulpritList.h"

#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace halvrick {

CulpritList::CulpritList(const QString& title, const QString& note, bool noteBesideTitle,
                         const QString& emptyText, CulpritRow::IconSource icons, QWidget* parent)
    : QWidget(parent), icons_(std::move(icons)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    QLabel* heading = Theme::label(this, TextStyle::headline);
    heading->setText(title);
    QLabel* caption = nullptr;
    if (!note.isEmpty()) {
        caption = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
        caption->setText(note);
    }
    if (caption && noteBesideTitle) {
        auto* header = new QHBoxLayout;
        header->addWidget(heading, 0, Qt::AlignBaseline);
        header->addStretch();
        header->addWidget(caption, 0, Qt::AlignBaseline);
        column->addLayout(header);
    } else {
        column->addWidget(heading);
        if (caption) {
            column->addWidget(caption);
        }
    }
    lead_ = Theme::label(this, TextStyle::callout);
    lead_->setWordWrap(true);
    lead_->hide();
    empty_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    empty_->setText(emptyText);
    empty_->setWordWrap(true);
    column->addWidget(lead_);
    column->addWidget(empty_);
    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    column->addLayout(rowsLayout_);
}

void CulpritList::set(const std::vector<Row>& rows, const QString& lead) {
    while (rows_.size() < rows.size()) {
        auto* row = new CulpritRow(icons_, this);
        rowsLayout_->addWidget(row);
        rows_.push_back(row);
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const bool shown = i < rows.size();
        if (shown) {
            rows_[i]->set(static_cast<int>(i) + 1, rows[i].key, rows[i].caption, rows[i].duration);
        }
        rows_[i]->setVisible(shown);
    }
    empty_->setVisible(rows.empty());
    Theme::setTextIfChanged(*lead_, lead);
    lead_->setVisible(!rows.empty() && !lead.isEmpty());
}

int CulpritList::visibleRows() const {
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const CulpritRow* row) { return !row->isHidden(); }));
}

bool CulpritList::showsEmptyText() const {
    return !empty_->isHidden();
}

QString CulpritList::lead() const {
    return lead_->isHidden() ? QString() : lead_->text();
}

} // namespace halvrick
