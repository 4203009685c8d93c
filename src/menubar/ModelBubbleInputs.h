#pragma once

#include "menubar/BubbleRouter.h"

namespace halvrick {

class AppModel;

// What the bubble router weighs, read from the model at the moment it asks.
class ModelBubbleInputs final : public BubbleRouter::Inputs {
public:
    explicit ModelBubbleInputs(AppModel& model) : model_(model) {}
    bool isCoolDownRunning() const override;
    bool hasActiveReminder() const override;
    RestPhase restPhase() const override;
    bool increaseContrast() const override;
    bool reduceMotion() const override;
    bool notchPeekEnabled() const override;

private:
    AppModel& model_;
};

} // namespace halvrick
