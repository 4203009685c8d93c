#pragma once

#include "core/Date.h"

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// Why a prompt must be held back right now.
enum class SuppressionReason : int { microphoneInUse = 0, fullScreenApp = 1, quietHours = 2 };

inline constexpr std::array<SuppressionReason, 3> allSuppressionReasons{
    SuppressionReason::microphoneInUse, SuppressionReason::fullScreenApp, SuppressionReason::quietHours};

// The three things the rest coach reads from the world; the real ones live in the sampling layer.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual Date now() const = 0;
};

class IdleSource {
public:
    virtual ~IdleSource() = default;
    // Seconds since the last keyboard or pointer input, 0 or more.
    virtual double secondsSinceLastInput() = 0;
    // How old the observation under the last answer of secondsSinceLastInput() is, in seconds: input in
    // that time before the answer cannot show in it yet. A source that sees input at once keeps 0.
    virtual double readingLag() { return 0; }
};

class SuppressionSource {
public:
    virtual ~SuppressionSource() = default;
    virtual std::optional<SuppressionReason> currentSuppression() = 0;
};

} // namespace halvrick
