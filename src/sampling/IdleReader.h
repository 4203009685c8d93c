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
    // A reading is coming soon: a source that has to ask for it may put the question now, so that the
    // answer is on its way while other work is done.
    virtual void askAhead() {}
};

} // namespace halvrick
