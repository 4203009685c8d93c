#include "settings/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>

namespace halvrick {

SegmentedControl::SegmentedControl(const QStringList& labels, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int index = 0; index < labels.size(); ++index) {
        auto* button = new QToolButton(this);
        button->setText(labels[index]);
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        group_->addButton(button, index);
        row->addWidget(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &SegmentedControl::currentChanged);
}

int SegmentedControl::current() const {
    return group_->checkedId();
}

void SegmentedControl::setCurrent(int index) {
    const QSignalBlocker blocker(group_);
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
    }
}

QAbstractButton* SegmentedControl::segment(int index) const {
    return group_->button(index);
}

} // namespace halvrick
