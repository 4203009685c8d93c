#pragma once

#include "menubar/BubbleRouter.h"

namespace halvrick {

class StatusItemController;

// The windows the bubble router puts the pea's words on: the controller's popover, its bubble under the
// tray icon and its notch peek.
class StatusItemSurfaces final : public BubbleRouter::Surfaces {
public:
    explicit StatusItemSurfaces(StatusItemController& controller) : c_(controller) {}
    bool hasStatusItem() const override;
    bool isPopoverShown() const override;
    void showPopover() override;
    void closePopover() override;
    void presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp) override;
    bool isBubbleShown() const override;
    void closeBubble() override;
    bool showPeek(const HeadsUpCard& card, double duration) override;
    void closePeek() override;

private:
    StatusItemController& c_;
};

} // namespace halvrick
