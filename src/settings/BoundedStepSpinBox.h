#pragma once

#include <QSpinBox>

namespace halvrick {

// A whole-number field with a stepper: any number in the typing range can be entered, while the arrows
// step only within the narrower stepping range. Unless keyboard tracking is turned back on, the value
// counts once the typing is done (Return or leaving the field), so a half-typed number is never taken.
class BoundedStepSpinBox : public QSpinBox {
public:
    BoundedStepSpinBox(int typingMinimum, int typingMaximum, int stepMinimum, int stepMaximum, int step,
                       QWidget* parent = nullptr);

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int stepMinimum_;
    int stepMaximum_;
};

} // namespace halvrick
