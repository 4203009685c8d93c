#pragma once

#include "sampling/IdleReader.h"
#include "sampling/SystemTimeSource.h"
#include "sampling/X11Display.h"

#include <memory>
#include <optional>

namespace halvrick {

// Idle time from the X server's screen-saver extension, without waiting on the server: each call takes
// the answer to the question asked before, moved on by the time since it was asked, and asks the next one.
// Input is therefore seen one call late (a tick, for the model and the rest coach); only the first call
// waits for its answer. Questions are at least reuseDuration apart, as the model and the rest coach both
// ask on every tick.
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
    struct Question {
        unsigned int sequence;
        double time;
    };

    void ask(double now);
    // Takes the answer to the question out if it has come; with `wait`, waits for it.
    void collect(bool wait);

    std::shared_ptr<X11Display> display_;
    MonotonicClock monotonicClock_;
    bool hasExtension_ = false;
    std::optional<Answer> last_;
    std::optional<Question> asked_;
};

} // namespace halvrick
