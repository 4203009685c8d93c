#pragma once

#include "core/RestSources.h"

#include <optional>
#include <string>

namespace halvrick {

// Something that happened in the rest coach; the app model books, shows and speaks it.
// Two events are equal when their case and payload are.
class RestEvent {
public:
    enum class Kind : int {
        stretchEnded = 0,
        promptSuppressed = 1,
        promptShown = 2,
        snoozed = 3,
        dismissed = 4,
        restStarted = 5,
        sideEye = 6,
        breakCompleted = 7,
        restAbandoned = 8,
        wokeUpHappy = 9,
    };

    // A work stretch ended after `duration` seconds.
    static RestEvent stretchEnded(double duration) { return RestEvent(Kind::stretchEnded, duration, {}); }
    // A due prompt was held back.
    static RestEvent promptSuppressed(SuppressionReason reason) {
        return RestEvent(Kind::promptSuppressed, 0, reason);
    }
    static RestEvent promptShown() { return RestEvent(Kind::promptShown); }
    static RestEvent snoozed() { return RestEvent(Kind::snoozed); }
    static RestEvent dismissed() { return RestEvent(Kind::dismissed); }
    static RestEvent restStarted() { return RestEvent(Kind::restStarted); }
    static RestEvent sideEye() { return RestEvent(Kind::sideEye); }
    static RestEvent breakCompleted() { return RestEvent(Kind::breakCompleted); }
    static RestEvent restAbandoned() { return RestEvent(Kind::restAbandoned); }
    static RestEvent wokeUpHappy() { return RestEvent(Kind::wokeUpHappy); }

    Kind kind() const { return kind_; }
    // The stretch's length in seconds; none unless the kind is stretchEnded.
    std::optional<double> duration() const {
        return kind_ == Kind::stretchEnded ? std::optional<double>(duration_) : std::nullopt;
    }
    // None unless the kind is promptSuppressed.
    std::optional<SuppressionReason> reason() const { return reason_; }

    friend bool operator==(const RestEvent&, const RestEvent&) = default;

private:
    explicit RestEvent(Kind kind, double duration = 0, std::optional<SuppressionReason> reason = {})
        : kind_(kind), duration_(duration), reason_(reason) {}

    Kind kind_;
    double duration_;
    std::optional<SuppressionReason> reason_;
};

// The case name and its payload, for the sample log: "stretchEnded(duration: 61.5)",
// "promptSuppressed(quietHours)", "promptShown".
std::string toString(const RestEvent& event);

} // namespace halvrick
