#include "settings/BoundedStepSpinBox.h"

#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int fieldWidth = 56;

} // namespace

BoundedStepSpinBox::BoundedStepSpinBox(int typingMinimum, int typingMaximum, int stepMinimum, int stepMaximum,
                                       int step, QWidget* parent)
    : QSpinBox(parent), stepMinimum_(stepMinimum), stepMaximum_(stepMaximum) {
    setRange(typingMinimum, typingMaximum);
    setSingleStep(step);
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setGroupSeparatorShown(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The number gets its own width; the arrows come on top of it.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const int arrows = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this).width();
    setFixedWidth(fieldWidth + arrows + 2 * style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this));
}

void BoundedStepSpinBox::stepBy(int steps) {
    const long long next = static_cast<long long>(value()) + static_cast<long long>(steps) * singleStep();
    setValue(static_cast<int>(std::clamp<long long>(next, stepMinimum_, stepMaximum_)));
    selectAll();
}

QAbstractSpinBox::StepEnabled BoundedStepSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < stepMaximum_) {
        enabled |= StepUpEnabled;
    }
    if (value() > stepMinimum_) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

} // namespace halvrick
