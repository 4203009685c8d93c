#include "menubar/BubbleRouter.h"

#include "ui/PlainText.h"

#include <utility>

namespace halvrick {

std::string_view toString(BubbleContent content) {
    switch (content) {
    case BubbleContent::none:
        return "none";
    case BubbleContent::headsUp:
        return "headsUp";
    case BubbleContent::restPrompt:
        return "restPrompt";
    case BubbleContent::reminder:
        return "reminder";
    }
    return "none";
}

BubbleRouter::BubbleRouter(Surfaces& surfaces, const Inputs& inputs, Scheduler& scheduler)
    : surfaces_(surfaces), inputs_(inputs), scheduler_(scheduler),
      self_(std::make_shared<BubbleRouter*>(this)) {}

BubbleRouter::~BubbleRouter() {
    cancelCloseTask();
}

void BubbleRouter::showHeadsUp(const std::string& message, const PeaFace& face, double duration) {
    if (stopped_ || surfaces_.isPopoverShown() || bubbleContent_ == BubbleContent::restPrompt ||
        bubbleContent_ == BubbleContent::reminder) {
        return;
    }
    closeBubble();
    // Closing may have let a waiting reminder into the bubble, and a reminder outranks a heads-up.
    if (bubbleContent_ != BubbleContent::none) {
        return;
    }
    HeadsUpCard card;
    card.message = PlainText::shown(message);
    card.face = face;
    // Heads-ups are always in colour.
    card.style = PeaStyle{false, inputs_.increaseContrast()};
    card.animate = !inputs_.reduceMotion();
    card.onTap = [weak = std::weak_ptr<BubbleRouter*>(self_)] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        Surfaces& surfaces = (*self)->surfaces_;
        if (surfaces.isPopoverShown()) {
            surfaces.closePopover();
        } else {
            surfaces.showPopover();
        }
    };
    if (inputs_.notchPeekEnabled() && surfaces_.showPeek(card, duration)) {
        return;
    }
    presentBubble(BubbleContent::headsUp, card, duration);
}

void BubbleRouter::restPhaseChanged(RestPhase phase) {
    if (stopped_) {
        return;
    }
    switch (phase) {
    case RestPhase::idle:
    case RestPhase::active:
    case RestPhase::snoozed:
    case RestPhase::breakTaken:
        if (bubbleContent_ == BubbleContent::restPrompt) {
            closeBubble();
        }
        // The breathing exercise lives in the popover.
        if (inputs_.isCoolDownRunning() && !surfaces_.isPopoverShown()) {
            surfaces_.showPopover();
            return;
        }
        break;
    case RestPhase::prompting:
        if (surfaces_.isPopoverShown()) {
            // The popover shows its own rest card.
            return;
        }
        presentBubble(BubbleContent::restPrompt, std::nullopt, std::nullopt);
        break;
    case RestPhase::resting:
        // The screen is left alone during a break.
        closeBubble();
        surfaces_.closePopover();
        break;
    }
    showReminderIfPossible();
}

void BubbleRouter::reminderChanged() {
    if (inputs_.hasActiveReminder()) {
        showReminderIfPossible();
    } else if (bubbleContent_ == BubbleContent::reminder) {
        closeBubble();
    }
}

void BubbleRouter::showReminderIfPossible() {
    if (stopped_ || !inputs_.hasActiveReminder() || surfaces_.isPopoverShown() ||
        bubbleContent_ == BubbleContent::restPrompt || inputs_.restPhase() == RestPhase::resting) {
        return;
    }
    presentBubble(BubbleContent::reminder, std::nullopt, std::nullopt);
}

void BubbleRouter::presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp,
                                 std::optional<double> duration) {
    if (stopped_ || !surfaces_.hasStatusItem()) {
        return;
    }
    if (content != BubbleContent::headsUp) {
        surfaces_.closePeek();
    }
    bubbleContent_ = content;
    surfaces_.presentBubble(content, headsUp);
    cancelCloseTask();
    if (duration) {
        closeTask_ = scheduler_.after(*duration, [this] {
            closeTask_.reset();
            closeBubble();
        });
    }
}

void BubbleRouter::closeBubble() {
    cancelCloseTask();
    bubbleContent_ = BubbleContent::none;
    if (!surfaces_.isBubbleShown() || closing_) {
        return;
    }
    // The bubble reports its closing from inside; a waiting reminder is shown once it is fully closed.
    closing_ = true;
    surfaces_.closeBubble();
    closing_ = false;
    if (std::exchange(retryAfterClosing_, false)) {
        showReminderIfPossible();
    }
}

void BubbleRouter::bubbleDidClose() {
    cancelCloseTask();
    bubbleContent_ = BubbleContent::none;
    if (closing_) {
        retryAfterClosing_ = true;
        return;
    }
    showReminderIfPossible();
}

void BubbleRouter::stop() {
    stopped_ = true;
    closeBubble();
    surfaces_.closePeek();
}

void BubbleRouter::cancelCloseTask() {
    if (closeTask_) {
        scheduler_.cancel(*closeTask_);
        closeTask_.reset();
    }
}

} // namespace halvrick
