#include "menubar/NotchPeekController.h"

#include "pea/NotchPeekView.h"

#include <QVBoxLayout>
#include <QWidget>
#include <cmath>

namespace halvrick {

namespace {

// Floats over everything, full-screen windows included, on every workspace, and never takes the focus;
// bypassing the window manager also lets it cover the top panel where the notch is.
std::unique_ptr<QWidget> makePanel() {
    auto panel =
        std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                               Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus |
                                               Qt::NoDropShadowWindowHint);
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    panel->setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QVBoxLayout(panel.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return panel;
}

} // namespace

NotchPeekController::NotchPeekController(std::unique_ptr<NotchScreenInfo> screens, Scheduler& scheduler)
    : screens_(std::move(screens)), scheduler_(scheduler),
      self_(std::make_shared<NotchPeekController*>(this)) {}

NotchPeekController::~NotchPeekController() {
    if (closeTask_) {
        scheduler_.cancel(*closeTask_);
    }
}

bool NotchPeekController::show(const QString& message, const PeaFace& face, const PeaStyle& style,
                               bool animate, double duration, std::function<void()> onTap) {
    const std::optional<NotchScreen> screen = screens_->trayScreen();
    if (!screen || !screen->auxiliaryTopLeftArea || !screen->auxiliaryTopRightArea) {
        return false;
    }
    const std::optional<double> notchWidth = NotchGeometry::notchWidth(
        *screen->auxiliaryTopLeftArea, *screen->auxiliaryTopRightArea, screen->safeAreaTop);
    if (!notchWidth) {
        return false;
    }
    const double notchHeight = screen->safeAreaTop;
    if (closeTask_) {
        scheduler_.cancel(*closeTask_);
        closeTask_.reset();
    }
    auto state = std::make_shared<NotchPeekState>(message, face, style, animate, std::move(onTap));
    if (!panel_) {
        panel_ = makePanel();
    }
    state_ = state;
    // The new peek's view replaces the last one's.
    if (view_) {
        panel_->layout()->removeWidget(view_);
        view_->hide();
        view_->deleteLater();
    }
    view_ = new NotchPeekView(state, *notchWidth, notchHeight);
    panel_->layout()->addWidget(view_);
    panel_->adjustSize();
    const QSize size = view_->size();
    const double left = screen->frame.x() + screen->frame.width() / 2.0 - size.width() / 2.0;
    panel_->setGeometry(static_cast<int>(std::lround(left)), screen->frame.y(), size.width(), size.height());
    panel_->show();
    panel_->raise();
    // Drawn hidden first, so that it comes in.
    scheduler_.after(0, [weak = std::weak_ptr<NotchPeekState>(state)] {
        if (const auto shown = weak.lock()) {
            shown->setVisible(true);
        }
    });
    closeTask_ = scheduler_.after(duration, [weak = std::weak_ptr<NotchPeekController*>(self_)] {
        if (const auto self = weak.lock()) {
            (*self)->closeTask_.reset();
            (*self)->close();
        }
    });
    return true;
}

void NotchPeekController::close() {
    if (closeTask_) {
        scheduler_.cancel(*closeTask_);
        closeTask_.reset();
    }
    if (!panel_ || !panel_->isVisible() || !state_) {
        return;
    }
    const std::shared_ptr<NotchPeekState> leaving = std::move(state_);
    state_.reset();
    leaving->setVisible(false);
    scheduler_.after(orderOutDelay, [weak = std::weak_ptr<NotchPeekController*>(self_)] {
        if (const auto self = weak.lock()) {
            (*self)->orderOut();
        }
    });
}

void NotchPeekController::orderOut() {
    // A peek shown while the last one slid out keeps the panel.
    if (state_ || !panel_) {
        return;
    }
    panel_->hide();
    if (view_) {
        panel_->layout()->removeWidget(view_);
        view_->deleteLater();
        view_ = nullptr;
    }
}

} // namespace halvrick
