#include "ui/Announcer.h"

#include <QAccessible>

namespace halvrick {

AccessibleAnnouncer::AccessibleAnnouncer(QWidget& widget) : widget_(&widget) {}

void AccessibleAnnouncer::announce(const QString& text) {
    last_ = text;
    if (!widget_) {
        return;
    }
    widget_->setAccessibleDescription(text);
    QAccessibleEvent alert(widget_.data(), QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace halvrick
