#include "menubar/StatusItemSurfaces.h"

#include "menubar/PopupPanel.h"
#include "menubar/StatusItemController.h"

namespace halvrick {

bool StatusItemSurfaces::hasStatusItem() const {
    return c_.showsBubbles();
}

bool StatusItemSurfaces::isPopoverShown() const {
    return c_.isPopoverShown();
}

void StatusItemSurfaces::showPopover() {
    c_.showPopover();
}

void StatusItemSurfaces::closePopover() {
    c_.closePopover();
}

void StatusItemSurfaces::presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp) {
    c_.presentBubble(content, headsUp);
}

bool StatusItemSurfaces::isBubbleShown() const {
    return c_.bubble_->isVisible();
}

void StatusItemSurfaces::closeBubble() {
    c_.bubble_->hide();
}

bool StatusItemSurfaces::showPeek(const HeadsUpCard& card, double duration) {
    return hasStatusItem() &&
           c_.notchPeek_->show(card.message, card.face, card.style, card.animate, duration, card.onTap);
}

void StatusItemSurfaces::closePeek() {
    c_.notchPeek_->close();
}

} // namespace halvrick
