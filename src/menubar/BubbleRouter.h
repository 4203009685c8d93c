#pragma once

#include "core/PeaFace.h"
#include "core/RestPhase.h"
#include "menubar/Scheduler.h"
#include "pea/PeaStyle.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// What the speech bubble holds.
enum class BubbleContent : int { none = 0, headsUp = 1, restPrompt = 2, reminder = 3 };

std::string_view toString(BubbleContent content);

// A heads-up as the bubble or the peek shows it.
struct HeadsUpCard {
    QString message;
    PeaFace face;
    PeaStyle style;
    bool animate = true;
    // Toggles the popover.
    std::function<void()> onTap;
};

// Decides what the pea says where: heads-ups go to the notch peek when there is one and the user allows
// it, else to the bubble; the rest prompt and due reminders always go to the bubble and outrank
// heads-ups (rest prompt over reminder over heads-up); a heads-up that cannot be shown is dropped, not
// queued; nothing enters the bubble while the popover is open, which has cards of its own. Main thread
// only.
class BubbleRouter {
public:
    // The windows the pea talks through.
    class Surfaces {
    public:
        virtual ~Surfaces() = default;
        // Bubbles hang from the status item: without one nothing is presented.
        virtual bool hasStatusItem() const = 0;
        virtual bool isPopoverShown() const = 0;
        virtual void showPopover() = 0;
        virtual void closePopover() = 0;
        // Puts the card of `content` into the bubble (for a heads-up, `headsUp`) and shows the bubble; a
        // bubble on show keeps its place and only changes its content.
        virtual void presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp) = 0;
        virtual bool isBubbleShown() const = 0;
        // Hides the bubble; the bubble then reports bubbleDidClose(), as it does when it closes for any
        // other reason.
        virtual void closeBubble() = 0;
        // False when there is no notch to peek out of; the peek then changed nothing.
        virtual bool showPeek(const HeadsUpCard& card, double duration) = 0;
        virtual void closePeek() = 0;
    };

    // The app model's state as the routing reads it.
    class Inputs {
    public:
        virtual ~Inputs() = default;
        virtual bool isCoolDownRunning() const = 0;
        virtual bool hasActiveReminder() const = 0;
        virtual RestPhase restPhase() const = 0;
        virtual bool increaseContrast() const = 0;
        virtual bool reduceMotion() const = 0;
        virtual bool notchPeekEnabled() const = 0;
    };

    // All three must outlive the router.
    BubbleRouter(Surfaces& surfaces, const Inputs& inputs, Scheduler& scheduler);
    ~BubbleRouter();
    BubbleRouter(const BubbleRouter&) = delete;
    BubbleRouter& operator=(const BubbleRouter&) = delete;

    // The model's heads-up: `duration` seconds on show, then the surface closes itself.
    void showHeadsUp(const std::string& message, const PeaFace& face, double duration);
    void restPhaseChanged(RestPhase phase);
    // The model's active reminder was set or cleared.
    void reminderChanged();
    // Shows the active reminder when nothing outranks it; also after the popover or the bubble closed.
    void showReminderIfPossible();
    // Puts content into the bubble; only a heads-up closes itself, after `duration` seconds. Without a
    // status item nothing changes.
    void presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp,
                       std::optional<double> duration);
    void closeBubble();
    // The bubble closed, whatever closed it.
    void bubbleDidClose();
    // Quitting: closes the bubble and the peek and presents nothing from then on, so that closing every
    // window does not bring a waiting reminder back up.
    void stop();
    bool isStopped() const { return stopped_; }

    BubbleContent bubbleContent() const { return bubbleContent_; }
    bool hasCloseTask() const { return closeTask_.has_value(); }

private:
    void cancelCloseTask();

    Surfaces& surfaces_;
    const Inputs& inputs_;
    Scheduler& scheduler_;
    BubbleContent bubbleContent_ = BubbleContent::none;
    std::optional<Scheduler::Handle> closeTask_;
    bool closing_ = false;
    bool retryAfterClosing_ = false;
    bool stopped_ = false;
    // A card's tap holds the router weakly through this: after the router is gone it does nothing.
    std::shared_ptr<BubbleRouter*> self_;
};

} // namespace halvrick
