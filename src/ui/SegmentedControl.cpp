#include "ui/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>

namespace halvrick {

SegmentedControl::SegmentedControl(const QStringList& labels, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    group_->setExclusive(true);
    for (int i = 0; i < labels.size(); ++i) {
        auto* option = new QToolButton(this);
        option->setText(labels[i]);
        option->setCheckable(true);
        option->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        option->setAccessibleName(labels[i]);
        group_->addButton(option, i);
        row->addWidget(option);
    }
    if (!labels.isEmpty()) {
        group_->button(0)->setChecked(true);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { emit currentChanged(id); });
}

int SegmentedControl::currentIndex() const {
    return group_->checkedId();
}

void SegmentedControl::setCurrentIndex(int index) {
    if (QAbstractButton* option = group_->button(index)) {
        const QSignalBlocker blocker(group_);
        option->setChecked(true);
    }
}

QToolButton* SegmentedControl::button(int index) const {
    return static_cast<QToolButton*>(group_->button(index));
}

int SegmentedControl::count() const {
    return static_cast<int>(group_->buttons().size());
}

} // namespace halvrick
