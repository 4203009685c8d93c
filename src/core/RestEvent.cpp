#include "core/RestEvent.h"

#include <charconv>
#include <string_view>

namespace halvrick {

namespace {

std::string_view kindName(RestEvent::Kind kind) {
    switch (kind) {
    case RestEvent::Kind::stretchEnded:
        return "stretchEnded";
    case RestEvent::Kind::promptSuppressed:
        return "promptSuppressed";
    case RestEvent::Kind::promptShown:
        return "promptShown";
    case RestEvent::Kind::snoozed:
        return "snoozed";
    case RestEvent::Kind::dismissed:
        return "dismissed";
    case RestEvent::Kind::restStarted:
        return "restStarted";
    case RestEvent::Kind::sideEye:
        return "sideEye";
    case RestEvent::Kind::breakCompleted:
        return "breakCompleted";
    case RestEvent::Kind::restAbandoned:
        return "restAbandoned";
    case RestEvent::Kind::wokeUpHappy:
        return "wokeUpHappy";
    }
    return "unknown";
}

std::string_view reasonName(SuppressionReason reason) {
    switch (reason) {
    case SuppressionReason::microphoneInUse:
        return "microphoneInUse";
    case SuppressionReason::fullScreenApp:
        return "fullScreenApp";
    case SuppressionReason::quietHours:
        return "quietHours";
    }
    return "unknown";
}

// Shortest text that reads back as the same number.
std::string number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string toString(const RestEvent& event) {
    std::string text(kindName(event.kind()));
    if (const auto duration = event.duration()) {
        text += "(duration: " + number(*duration) + ")";
    } else if (const auto reason = event.reason()) {
        text.append("(").append(reasonName(*reason)).append(")");
    }
    return text;
}

} // namespace halvrick
