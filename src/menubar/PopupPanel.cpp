#include "menubar/PopupPanel.h"

#include <QHideEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace halvrick {

PopupPanel::PopupPanel(bool popup)
    : QWidget(nullptr, popup ? Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint : Qt::Window) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!popup) {
        setWindowTitle(QStringLiteral("Halvrick"));
    }
}

void PopupPanel::setContent(QWidget* content) { layout()->addWidget(content); }

void PopupPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        emit closed();
    }
}

void PopupPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (windowFlags().testFlag(Qt::FramelessWindowHint)) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace halvrick
