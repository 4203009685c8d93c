#pragma once

#include "sampling/IdleReader.h"
#include "sampling/SystemTimeSource.h"
#include "sampling/X11Display.h"

#include <memory>
#include <optional>

namespace halvrick {

// Idle time from the X server's screen-saver extension: a local round trip, cheap enough to ask every tick.
// The model and the rest coach both ask on every tick, so an answer is reused, moved on by the time since,
// for reuseDuration: input in that moment shows a quarter of a second later.
class X11IdleReader : public IdleReader {
public:
    static constexpr double reuseDuration = 0.25;

    // A null display, or one without the extension, reads as nothing.
    explicit X11IdleReader(std::shared_ptr<X11Display> display, MonotonicClock monotonicClock = monotonicSeconds);

    std::optional<double> idleSeconds() override;

private:
    struct Answer {
        double idle;
        double time;
    };

    std::shared_ptr<X11Display> display_;
    MonotonicClock monotonicClock_;
    bool hasExtension_ = false;
    std::optional<Answer> last_;
};

} // namespace halvrick
