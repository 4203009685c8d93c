#include "menubar/StatusItemController.h"

#include "core/HeatState.h"
#include "menubar/HeadsUpView.h"
#include "menubar/ModelBubbleInputs.h"
#include "menubar/PopoverLayout.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "menubar/ReminderBubbleView.h"
#include "menubar/RestPromptView.h"
#include "menubar/StatusItemSurfaces.h"
#include "menubar/TrayIconTint.h"
#include "model/AppModel.h"
#include "model/SettingsStore.h"
#include "pea/WindowWatch.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdlib>

namespace halvrick {

namespace {

constexpr int bubbleCardWidth = 320;
constexpr int restPromptMargin = 16;
constexpr int reminderMargin = 14;

// A bubble card at the bubble's fixed width, `margin` from its edges.
QWidget* framed(QWidget* view, int margin) {
    auto* frame = new QWidget;
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(view);
    frame->setFixedWidth(bubbleCardWidth);
    return frame;
}

} // namespace

StatusItemController::Desktop StatusItemController::Desktop::system() {
    Desktop desktop;
    desktop.tray = SystemTrayPresence::make();
    desktop.frameTimer = std::make_unique<QtRepeatingTimer>();
    desktop.modifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
    desktop.cursor = []() -> std::optional<QPoint> { return QCursor::pos(); };
    desktop.screens = [] {
        std::vector<PopoverPlacement::ScreenArea> areas;
        for (const QScreen* screen : QGuiApplication::screens()) {
            areas.push_back({screen->geometry(), screen->availableGeometry()});
        }
        return areas;
    };
    desktop.monotonic = [] { return std::chrono::steady_clock::now(); };
    // The tray's colours are asked once: the tint is read for every new icon loop.
    desktop.tint = [trayForeground = TrayIconTint::advertisedForeground()] {
        const char* current = std::getenv("XDG_CURRENT_DESKTOP");
        return TrayIconComposer::trayTint(QApplication::palette(), current ? current : "", trayForeground);
    };
    desktop.debugAlwaysUnlocked = std::getenv("HALVRICK_DEBUG") != nullptr;
    desktop.popup = desktop.tray != nullptr;
    desktop.bubbles = QGuiApplication::platformName() != QStringLiteral("wayland");
    desktop.scheduler = std::make_unique<QtScheduler>();
    desktop.notchScreens = std::make_unique<SystemNotchScreenInfo>();
    desktop.displayOptions = SystemDisplayOptions::make();
    return desktop;
}

StatusItemController::StatusItemController(AppModel& model, Windows windows, Desktop desktop)
    : model_(model), windows_(std::move(windows)), desktop_(std::move(desktop)),
      animator_(std::move(desktop_.frameTimer)), popover_(std::make_unique<PopupPanel>(desktop_.popup)),
      bubble_(std::make_unique<PopupPanel>(PopupPanel::Kind::bubble)) {
    if (!desktop_.scheduler) {
        desktop_.scheduler = std::make_unique<QtScheduler>();
    }
    if (!desktop_.notchScreens) {
        desktop_.notchScreens = std::make_unique<SystemNotchScreenInfo>();
    }
    notchPeek_ = std::make_unique<NotchPeekController>(std::move(desktop_.notchScreens), *desktop_.scheduler);
    inputs_ = std::make_unique<ModelBubbleInputs>(model_);
    surfaces_ = std::make_unique<StatusItemSurfaces>(*this);
    router_ = std::make_unique<BubbleRouter>(*surfaces_, *inputs_, *desktop_.scheduler);

    QPointer<StatusItemController> self(this);
    // The icon's style depends on the options, so they are read before the icons are drawn.
    if (desktop_.displayOptions) {
        updateDisplayOptions();
        desktop_.displayOptions->onChange = [self] {
            if (self) {
                self->updateDisplayOptions();
            }
        };
    }
    MenuBarIcons::shared().prewarm(model_.menuBarLoopFaces(),
                                   PeaStyle{model_.settings().menuBarMonochrome(), model_.increaseContrast()},
                                   desktop_.tint());

    PopoverActions actions;
    const auto closeThen = [self](std::function<void()> Windows::*open) {
        return [self, open] {
            if (!self) {
                return;
            }
            self->closePopover();
            if (self->windows_.*open) {
                (self->windows_.*open)();
            }
        };
    };
    actions.openSettings = closeThen(&Windows::showSettings);
    actions.openHistory = closeThen(&Windows::showHistory);
    actions.openVitals = closeThen(&Windows::showVitals);
    actions.openRoast = closeThen(&Windows::showRoast);
    actions.openWrapped = closeThen(&Windows::showWrapped);
    actions.openSampleWrapped = closeThen(&Windows::showSampleWrapped);
    actions.openArtworkLab = closeThen(&Windows::showArtworkLab);
    popoverView_ = new PopoverView(model_, actions);
    popover_->setContent(popoverView_);
    connect(popover_.get(), &PopupPanel::closed, this, &StatusItemController::popoverDidClose);
    connect(bubble_.get(), &PopupPanel::closed, this, [this] { router_->bubbleDidClose(); });
    // A layout that settles after the panel is shown changes its size: it is placed again from that.
    connect(bubble_.get(), &PopupPanel::resized, this, [this] { placeAgain(*bubble_); });
    connect(popover_.get(), &PopupPanel::resized, this, [this] {
        if (desktop_.popup) {
            placeAgain(*popover_);
        }
    });

    animator_.setIcon = [self](const QIcon& icon) {
        if (self && self->desktop_.tray) {
            self->desktop_.tray->setIcon(icon);
        }
    };
    if (desktop_.tray) {
        desktop_.tray->onClick = [self](TrayPresence::Click click) {
            if (self) {
                self->handleClick(click, self->desktop_.modifiers());
            }
        };
    }

    model_.onMenuFaceChange = [self](const PeaFace&) {
        if (self) {
            self->refreshIcon();
        }
    };
    model_.onHeadsUp = [self](const std::string& text, const PeaFace& face, double duration) {
        if (self) {
            self->showHeadsUp(text, face, duration);
        }
    };
    model_.onRestPhaseChange = [self](RestPhase phase) {
        if (self) {
            self->restPhaseChanged(phase);
        }
    };
    model_.onReminder = [self] {
        if (self) {
            self->reminderChanged();
        }
    };
    model_.showsActiveReminder = [self] { return self && self->showsActiveReminder(); };
    model_.showsRestPrompt = [self] { return self && self->showsRestPrompt(); };
    // The settings' first values need no refresh, the first CPU figure does.
    connect(&model_, &AppModel::cpuLoadChanged, this, &StatusItemController::updateCPUTitle,
            Qt::QueuedConnection);
    connect(&model_.settings(), &SettingsStore::menuBarMonochromeChanged, this, &StatusItemController::refreshIcon,
            Qt::QueuedConnection);
    connect(&model_.settings(), &SettingsStore::menuBarDisplayChanged, this, &StatusItemController::refreshIcon,
            Qt::QueuedConnection);

    StatusMenu::Actions menuActions;
    menuActions.windows = actions;
    menuActions.showPopover = [self] {
        if (self) {
            self->showPopover();
        }
    };
    statusMenu_ = std::make_unique<StatusMenu>(model_, std::move(menuActions),
                                               [self] { return self && self->menuOffersDebug(); });
    connect(statusMenu_.get(), &QMenu::aboutToHide, this, [this] { menuPoppedHere_ = false; });
    if (desktop_.tray) {
        desktop_.tray->setContextMenu(statusMenu_.get());
    }

    // Quit reaches the application object before any window closes.
    QCoreApplication::instance()->installEventFilter(this);

    refreshIcon();
    QMetaObject::invokeMethod(this, &StatusItemController::updateCPUTitle, Qt::QueuedConnection);
    if (!desktop_.tray) {
        // Nothing to click: the popover content stays reachable as a window. It may stay open all day, so
        // it costs what an open popover does only while someone can see it.
        popoverWatch_ = new WindowWatch(*popover_);
        popoverWatch_->onChange = [self] {
            if (self) {
                self->model_.setPopoverWatched(self->popoverWatch_->level() == WindowWatch::Level::watched);
            }
        };
        // Opened at launch, often at login: it takes no focus from what the user is doing.
        openPopover(desktop_.modifiers().testFlag(Qt::AltModifier), false);
    }
}

StatusItemController::~StatusItemController() {
    // Panels still on screen close as they are destroyed, after the parts their closing reaches.
    disconnect(popover_.get(), nullptr, this, nullptr);
    disconnect(bubble_.get(), nullptr, this, nullptr);
    if (popoverWatch_) {
        popoverWatch_->onChange = nullptr;
    }
    model_.onMenuFaceChange = nullptr;
    model_.onHeadsUp = nullptr;
    model_.onRestPhaseChange = nullptr;
    model_.onReminder = nullptr;
    model_.showsActiveReminder = nullptr;
    model_.showsRestPrompt = nullptr;
    if (desktop_.displayOptions) {
        desktop_.displayOptions->onChange = nullptr;
    }
    animator_.setIcon = nullptr;
    if (desktop_.tray) {
        desktop_.tray->onClick = nullptr;
        desktop_.tray->setContextMenu(nullptr);
    }
}

void StatusItemController::prepareToQuit() {
    router_->stop();
    closePopover();
}

bool StatusItemController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        prepareToQuit();
    }
    return false;
}

void StatusItemController::handleClick(TrayPresence::Click click, Qt::KeyboardModifiers modifiers) {
    if (click != TrayPresence::Click::trigger) {
        // The tray shows the context menu itself.
        return;
    }
    cursorAtClick_ = desktop_.cursor();
    if (modifiers.testFlag(Qt::ControlModifier)) {
        menuAltHeld_ = modifiers.testFlag(Qt::AltModifier);
        menuPoppedHere_ = true;
        statusMenu_->refresh();
        statusMenu_->popup(cursorAtClick_.value_or(QPoint()));
        return;
    }
    menuAltHeld_ = false;
    if (isPopoverShown()) {
        closePopover();
        return;
    }
    if (popoverClosedAt_ && desktop_.monotonic() - *popoverClosedAt_ < reopenGuard) {
        return;
    }
    showPopover(modifiers.testFlag(Qt::AltModifier));
}

void StatusItemController::showPopover() { showPopover(desktop_.modifiers().testFlag(Qt::AltModifier)); }

void StatusItemController::showPopover(bool altHeld) {
    openPopover(altHeld, true);
}

void StatusItemController::openPopover(bool altHeld, bool activate) {
    if (isPopoverShown()) {
        return;
    }
    model_.popoverWillOpen(altHeld || desktop_.debugAlwaysUnlocked);
    popoverView_->refresh();
    if (desktop_.popup) {
        place(*popover_, cursorAtClick_);
    } else {
        popover_->adjustSize();
    }
    cursorAtClick_.reset();
    popover_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    popover_->show();
    popover_->raise();
    if (activate) {
        popover_->activateWindow();
    }
    // A bubble or a peek never stays up beside the popover.
    router_->closeBubble();
    notchPeek_->close();
    noteReminderOnScreen();
}

void StatusItemController::closePopover() {
    if (isPopoverShown()) {
        popover_->hide();
    }
}

bool StatusItemController::isPopoverShown() const { return popover_->isVisible(); }

void StatusItemController::popoverDidClose() {
    popoverClosedAt_ = desktop_.monotonic();
    model_.popoverDidClose();
    // A reminder that came while the popover was open.
    router_->showReminderIfPossible();
}

void StatusItemController::showHeadsUp(const std::string& message, const PeaFace& face, double duration) {
    router_->showHeadsUp(message, face, duration);
}

void StatusItemController::restPhaseChanged(RestPhase phase) {
    router_->restPhaseChanged(phase);
    // The open popover's card comes back when the break's cards leave it.
    noteReminderOnScreen();
}

void StatusItemController::reminderChanged() {
    router_->reminderChanged();
}

void StatusItemController::showReminderIfPossible() {
    router_->showReminderIfPossible();
}

void StatusItemController::closeBubble() {
    router_->closeBubble();
}

void StatusItemController::presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp) {
    QWidget* view = nullptr;
    switch (content) {
    case BubbleContent::none:
        return;
    case BubbleContent::headsUp:
        if (!headsUp) {
            return;
        }
        view = new HeadsUpView(headsUp->message, headsUp->face, headsUp->style, headsUp->animate,
                               headsUp->onTap);
        break;
    case BubbleContent::restPrompt:
        view = framed(new RestPromptView(model_), restPromptMargin);
        break;
    case BubbleContent::reminder: {
        auto* reminder = new ReminderBubbleView(model_);
        // However long the reminder, its buttons stay on the screen (the panel's frame takes a pixel on
        // either side).
        const std::optional<QRect> area = PopoverPlacement::availableArea(placementRequest(std::nullopt));
        reminder->setFitHeight(area ? std::optional(area->height() - 2 - 2 * reminderMargin) : std::nullopt);
        view = framed(reminder, reminderMargin);
        break;
    }
    }
    bubble_->setContent(view);
    // A bubble on show stays under the icon; only its size follows the new content.
    place(*bubble_, std::nullopt);
    if (!bubble_->isVisible()) {
        bubble_->show();
    }
    if (content == BubbleContent::reminder) {
        noteReminderOnScreen();
    }
}

bool StatusItemController::showsActiveReminder() const {
    // Without a tray there is no bubble, and the popover's window may lie under others: the
    // notification is the one sure way to reach the user.
    if (!hasTray() || !model_.activeReminder()) {
        return false;
    }
    if (isPopoverShown()) {
        return popoverLayout(PopoverSnapshot::of(model_, false)).card == PopoverCard::reminder;
    }
    return bubbleContent() == BubbleContent::reminder && bubble_->isVisible();
}

bool StatusItemController::showsRestPrompt() const {
    if (!hasTray() || model_.restPhase() != RestPhase::prompting) {
        return false;
    }
    if (isPopoverShown()) {
        return popoverLayout(PopoverSnapshot::of(model_, false)).header == PopoverHeader::restPrompt;
    }
    return bubbleContent() == BubbleContent::restPrompt && bubble_->isVisible();
}

void StatusItemController::noteReminderOnScreen() {
    if (showsActiveReminder()) {
        model_.activeReminderShown();
    }
}

PopoverPlacement::Request StatusItemController::placementRequest(const std::optional<QPoint>& cursor) const {
    PopoverPlacement::Request request;
    if (desktop_.tray) {
        request.trayGeometry = desktop_.tray->geometry();
    }
    request.cursorAtClick = cursor;
    // Heads-ups and reminders arrive without a click: the last anchor stands in for it.
    request.lastAnchor = lastAnchor_;
    request.screens = desktop_.screens();
    return request;
}

void StatusItemController::place(PopupPanel& panel, const std::optional<QPoint>& cursor) {
    PopoverPlacement::Request request = placementRequest(cursor);
    if (&panel == popover_.get()) {
        const std::optional<QRect> area = PopoverPlacement::availableArea(request);
        // The panel's frame takes a pixel on either side.
        popoverView_->setFitHeight(area ? std::optional(area->height() - 2) : std::nullopt);
    }
    // The size the layout settles on, not the one the panel had before its new content.
    panel.layout()->activate();
    panel.adjustSize();
    request.size = panel.size();
    const PopoverPlacement::Placement placement = PopoverPlacement::place(request);
    lastAnchor_ = placement.anchor;
    panel.move(placement.topLeft);
}

void StatusItemController::placeAgain(PopupPanel& panel) {
    if (!panel.isVisible()) {
        return;
    }
    PopoverPlacement::Request request = placementRequest(std::nullopt);
    request.size = panel.size();
    panel.move(PopoverPlacement::place(request).topLeft);
}

void StatusItemController::updateDisplayOptions() {
    const DisplayOptions options = desktop_.displayOptions->current();
    model_.updateDisplayOptions(options.reduceMotion, options.increaseContrast);
    // Every window's secondary text follows.
    Theme::setIncreaseContrast(model_.increaseContrast());
}

bool StatusItemController::debugUnlocked() const {
    return desktop_.debugAlwaysUnlocked || model_.debugUnlocked() || menuAltHeld_;
}

bool StatusItemController::menuOffersDebug() const {
    if (desktop_.debugAlwaysUnlocked) {
        return true;
    }
    // A tray host shows the menu on a right click by itself: the keys held now are that click's.
    return menuPoppedHere_ ? menuAltHeld_ : desktop_.modifiers().testFlag(Qt::AltModifier);
}

std::vector<QIcon> StatusItemController::composeFrames() {
    return composer_.frames(model_.menuBarFrames(), model_.settings().menuBarDisplay(), model_.cpuLoad(),
                            PeaStyle{model_.settings().menuBarMonochrome(), model_.increaseContrast()},
                            desktop_.tint());
}

void StatusItemController::refreshIcon() {
    updateToolTip();
    // Without a tray nobody sees the icon, and its loop would wake the program for nothing.
    if (hasTray()) {
        animator_.show(composeFrames());
    }
}

void StatusItemController::updateCPUTitle() {
    updateToolTip();
    if (hasTray() && model_.settings().menuBarDisplay() != MenuBarDisplay::face) {
        animator_.replaceFrames(composeFrames());
    }
}

void StatusItemController::updateToolTip() {
    const QString text = TrayIconComposer::toolTip(model_.state(), model_.settings().menuBarDisplay(), model_.cpuLoad());
    if (text == toolTip_) {
        return;
    }
    toolTip_ = text;
    if (desktop_.tray) {
        desktop_.tray->setToolTip(text);
    }
}

} // namespace halvrick
