#pragma once

#include <optional>

namespace halvrick {

// One way of learning how long the user has left keyboard and pointer alone.
class IdleReader {
public:
    virtual ~IdleReader() = default;
    // Seconds since the last input, as of now, or nothing when this source cannot tell (yet).
    virtual std::optional<double> idleSeconds() = 0;
    // How old the observation under the last answer of idleSeconds() is: input in those seconds before
    // the answer cannot show in it yet.
    virtual double readingLag() const { return 0; }
};

} // namespace halvrick
