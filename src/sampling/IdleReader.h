#pragma once

#include <optional>

namespace halvrick {

// One way of learning how long the user has left keyboard and pointer alone.
class IdleReader {
public:
    virtual ~IdleReader() = default;
    // Seconds since the last input, or nothing when this source cannot tell (yet).
    virtual std::optional<double> idleSeconds() = 0;
};

} // namespace halvrick
