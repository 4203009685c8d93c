#pragma once

#include "sampling/IdleReader.h"
#include "sampling/SystemTimeSource.h"
#include "sampling/X11Display.h"

#include <memory>
#include <optional>

namespace halvrick {

// Idle time from the X server's screen-saver extension. A reading asks the server and waits for the answer
// a few milliseconds at most, well beyond a local round trip; a server that takes longer is not waited for:
// the reading carries the last answer forward and says how old it is, and the late answer is taken at the
// next reading. Questions are at least reuseDuration apart, as the model and the rest coach both ask on
// every tick.
class X11IdleReader : public IdleReader {
public:
    static constexpr double reuseDuration = 0.25;
    static constexpr double defaultAnswerWait = 0.003;

    // A null display, or one without the extension, reads as nothing. `answerWait` is in seconds.
    explicit X11IdleReader(std::shared_ptr<X11Display> display,
                           MonotonicClock monotonicClock = monotonicSeconds,
                           double answerWait = defaultAnswerWait);

    std::optional<double> idleSeconds() override;
    double readingLag() const override { return lag_; }
    // Puts the question the next reading would put, unless one is on its way or the last answer is
    // still recent; the reading then waits only for what is left of the answer's wait.
    void askAhead() override;

private:
    struct Answer {
        double idle;
        // When its question was asked: the server measured no earlier.
        double time;
    };
    struct Question {
        unsigned int sequence;
        double time;
    };

    bool isDue(double now) const;
    void ask(double now);
    // Takes the answer out if it comes within `wait` seconds.
    void collect(double wait);

    std::shared_ptr<X11Display> display_;
    MonotonicClock monotonicClock_;
    double answerWait_;
    bool hasExtension_ = false;
    std::optional<Answer> last_;
    std::optional<Question> asked_;
    double lag_ = 0;
};

} // namespace halvrick
