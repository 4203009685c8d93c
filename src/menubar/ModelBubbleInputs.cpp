#include "menubar/ModelBubbleInputs.h"

#include "model/AppModel.h"
#include "model/SettingsStore.h"

namespace halvrick {

bool ModelBubbleInputs::isCoolDownRunning() const {
    return model_.coolDown().has_value();
}

bool ModelBubbleInputs::hasActiveReminder() const {
    return model_.activeReminder().has_value();
}

RestPhase ModelBubbleInputs::restPhase() const {
    return model_.restPhase();
}

bool ModelBubbleInputs::increaseContrast() const {
    return model_.increaseContrast();
}

bool ModelBubbleInputs::reduceMotion() const {
    return model_.reduceMotion();
}

bool ModelBubbleInputs::notchPeekEnabled() const {
    return model_.settings().notchPeekEnabled();
}

} // namespace halvrick
