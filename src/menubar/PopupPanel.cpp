#include "menubar/PopupPanel.h"

#include <QHideEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace halvrick {

namespace {

Qt::WindowFlags flagsFor(PopupPanel::Kind kind) {
    switch (kind) {
    case PopupPanel::Kind::popover:
        return Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
    case PopupPanel::Kind::window:
        return Qt::Window;
    case PopupPanel::Kind::bubble:
        // Not a popup: a popup grabs the pointer.
        return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
               Qt::NoDropShadowWindowHint;
    }
    return Qt::Window;
}

} // namespace

PopupPanel::PopupPanel(Kind kind) : QWidget(nullptr, flagsFor(kind)), kind_(kind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (kind == Kind::window) {
        setWindowTitle(QStringLiteral("Halvrick"));
    }
    if (kind == Kind::bubble) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
    }
}

PopupPanel::PopupPanel(bool popup) : PopupPanel(popup ? Kind::popover : Kind::window) {}

void PopupPanel::setContent(QWidget* content) {
    if (content_) {
        layout()->removeWidget(content_);
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    if (content_) {
        layout()->addWidget(content_);
    }
}

void PopupPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        emit closed();
    }
}

void PopupPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
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
