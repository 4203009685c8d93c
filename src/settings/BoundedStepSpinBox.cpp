#include "settings/BoundedStepSpinBox.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int fieldWidth = 56;
// Far past any int, so that a long run of digits saturates instead of overflowing.
constexpr long long saturation = 1'000'000'000'000LL;

// Plain digits with an optional sign, of any length, clamped to [minimum, maximum].
std::optional<int> plainNumber(QStringView text, int minimum, int maximum) {
    text = text.trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) {
        text = text.sliced(1);
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    long long magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        magnitude = std::min(magnitude * 10 + (c.unicode() - u'0'), saturation);
    }
    return static_cast<int>(std::clamp<long long>(negative ? -magnitude : magnitude, minimum, maximum));
}

} // namespace

BoundedStepSpinBox::BoundedStepSpinBox(int typingMinimum, int typingMaximum, int stepMinimum, int stepMaximum,
                                       int step, QWidget* parent)
    : QSpinBox(parent), stepMinimum_(stepMinimum), stepMaximum_(stepMaximum), typingPause_(new QTimer(this)) {
    setRange(typingMinimum, typingMaximum);
    setSingleStep(step);
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setGroupSeparatorShown(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The number gets its own width; the arrows come on top of it.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const int arrows = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this).width();
    setFixedWidth(fieldWidth + arrows + 2 * style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this));

    typingPause_->setSingleShot(true);
    typingPause_->setInterval(typingPauseMilliseconds);
    connect(lineEdit(), &QLineEdit::textEdited, typingPause_, qOverload<>(&QTimer::start));
    connect(this, &QAbstractSpinBox::editingFinished, typingPause_, &QTimer::stop);
    // A field left empty for a while is still being typed into: only Return or leaving it restores.
    connect(typingPause_, &QTimer::timeout, this, [this] {
        if (shownNumber()) {
            interpretText();
        }
    });
}

void BoundedStepSpinBox::stepBy(int steps) {
    typingPause_->stop();
    // An arrow steps from what was typed, in one change.
    const long long from = shownNumber().value_or(value());
    const long long next = from + static_cast<long long>(steps) * singleStep();
    setValue(static_cast<int>(std::clamp<long long>(next, stepMinimum_, stepMaximum_)));
    selectAll();
}

QValidator::State BoundedStepSpinBox::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    // A number past the typing range may still be typed or pasted; it is clamped when it is taken.
    if (state == QValidator::Invalid && plainNumber(input, minimum(), maximum())) {
        return QValidator::Intermediate;
    }
    return state;
}

void BoundedStepSpinBox::fixup(QString& input) const {
    QSpinBox::fixup(input);
    if (const std::optional<int> number = plainNumber(input, minimum(), maximum())) {
        input = textFromValue(*number);
    }
}

std::optional<int> BoundedStepSpinBox::shownNumber() const {
    QString shown = text();
    int pos = 0;
    if (QSpinBox::validate(shown, pos) == QValidator::Acceptable) {
        return valueFromText(shown);
    }
    return plainNumber(shown, minimum(), maximum());
}

QAbstractSpinBox::StepEnabled BoundedStepSpinBox::stepEnabled() const {
    const int from = shownNumber().value_or(value());
    StepEnabled enabled = StepNone;
    if (from < stepMaximum_) {
        enabled |= StepUpEnabled;
    }
    if (from > stepMinimum_) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

} // namespace halvrick
