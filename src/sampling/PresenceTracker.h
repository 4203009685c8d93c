#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/QuietHours.h"
#include "core/RestSources.h"
#include "sampling/FullScreenProbe.h"
#include "sampling/IdleReader.h"
#include "sampling/MicrophoneProbe.h"
#include "sampling/PresenceSignalSource.h"
#include "sampling/SystemTimeSource.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace halvrick {

// Whether the user is at the machine, how long since their last input, and whether now is a bad moment
// to speak up. Main thread only; nothing it does waits on another process.
class PresenceTracker : public IdleSource, public SuppressionSource {
public:
    // What the tracker reads the world through.
    struct Facilities {
        // Asked in order; the first that can tell wins. None that can tell reads as 0 s: present.
        std::vector<std::unique_ptr<IdleReader>> idleReaders;
        std::unique_ptr<MicrophoneProbe> microphone;
        std::unique_ptr<FullScreenProbe> fullScreen;
        std::vector<std::unique_ptr<PresenceSignalSource>> signalSources;
        // Ages the cached suppression.
        MonotonicClock monotonicNow = monotonicSeconds;
        // The wall clock and the calendar quiet hours are judged in.
        std::function<Date()> wallNow = [] { return SystemTimeSource().now(); };
        std::function<Calendar()> calendar = &SystemTimeSource::currentCalendar;

        // The Linux session's own: X11 when the session runs on it, the desktop's D-Bus services, logind
        // and the sound cards. Whatever is missing stays silent.
        static Facilities system();
    };

    static constexpr double suppressionCacheDuration = 5;

    // The system's facilities; the application object must exist already.
    PresenceTracker();
    explicit PresenceTracker(Facilities facilities);
    // The signal sources call back into this object.
    PresenceTracker(const PresenceTracker&) = delete;
    PresenceTracker& operator=(const PresenceTracker&) = delete;

    // Set by the app model from the user's settings.
    std::optional<QuietHours> quietHours;
    std::function<void()> onPresenceLost;
    std::function<void()> onPresenceRestored;

    // What the last lock, sleep or screen signal said.
    bool isAway() const { return isAway_; }

    // Registers for the presence signals and puts the first question to the idle readers, so that the
    // first tick has an answer; later calls do nothing.
    void start();

    // Microphone in use, else a full-screen application in front, else quiet hours; the answer is reused
    // for 5 s on the monotonic clock, and any presence signal forgets it.
    std::optional<SuppressionReason> suppression();

    double secondsSinceLastInput() override;
    // Lets every idle reader put its question for the coming secondsSinceLastInput().
    void askAhead();
    // That of the reader the last answer came from; 0 when none could tell.
    double readingLag() override { return lag_; }
    std::optional<SuppressionReason> currentSuppression() override { return suppression(); }

private:
    struct CachedSuppression {
        std::optional<SuppressionReason> reason;
        double time;
    };

    void observe(bool lost);
    std::optional<SuppressionReason> computeSuppression();

    Facilities facilities_;
    bool isAway_ = false;
    bool started_ = false;
    std::optional<CachedSuppression> cachedSuppression_;
    double lag_ = 0;
};

} // namespace halvrick
