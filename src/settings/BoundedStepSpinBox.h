#pragma once

#include <QSpinBox>
#include <optional>

class QTimer;

namespace halvrick {

// A whole-number field with a stepper: any number in the typing range can be entered, while the arrows
// step only within the narrower stepping range. What is typed counts once the typing is done (Return,
// leaving the field, an arrow, or a short pause after the last key), so a half-typed number is never
// taken. A number past the typing range is clamped to it; an empty or unreadable entry brings the
// previous value back.
class BoundedStepSpinBox : public QSpinBox {
public:
    static constexpr int typingPauseMilliseconds = 1500;

    BoundedStepSpinBox(int typingMinimum, int typingMaximum, int stepMinimum, int stepMaximum, int step,
                       QWidget* parent = nullptr);

    void stepBy(int steps) override;

    // Runs from each key that changes the text; when it runs out, a readable number is taken.
    QTimer* typingPause() const { return typingPause_; }

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    // What the field shows, as a number within the typing range; none when it reads as no number.
    std::optional<int> shownNumber() const;

    int stepMinimum_;
    int stepMaximum_;
    QTimer* typingPause_;
};

} // namespace halvrick
