#include "menubar/StatusItemController.h"

#include "core/HeatState.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "model/AppModel.h"
#include "model/SettingsStore.h"
#include "model/Updater.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

namespace halvrick {

namespace {

const std::array<const char*, 4> forceTitles{"Force Chill", "Force Warm", "Force Sweating", "Force Meltdown"};

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
    desktop.tint = [] {
        const char* current = std::getenv("XDG_CURRENT_DESKTOP");
        return TrayIconComposer::trayTint(QApplication::palette(), current ? current : "");
    };
    desktop.debugAlwaysUnlocked = std::getenv("HALVRICK_DEBUG") != nullptr;
    desktop.popup = desktop.tray != nullptr;
    return desktop;
}

StatusItemController::StatusItemController(AppModel& model, Windows windows, Desktop desktop)
    : model_(model), windows_(std::move(windows)), desktop_(std::move(desktop)),
      animator_(std::move(desktop_.frameTimer)), popover_(std::make_unique<PopupPanel>(desktop_.popup)) {
    MenuBarIcons::shared().prewarm(PeaStyle{model_.settings().menuBarMonochrome(), model_.increaseContrast()},
                                   desktop_.tint());

    QPointer<StatusItemController> self(this);
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
    popoverView_ = new PopoverView(model_, std::move(actions));
    popover_->setContent(popoverView_);
    connect(popover_.get(), &PopupPanel::closed, this, &StatusItemController::popoverDidClose);

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
    model_.onRestPhaseChange = [self](RestPhase phase) {
        if (self) {
            self->restPhaseChanged(phase);
        }
    };
    // The settings' first values need no refresh, the first CPU figure does.
    connect(&model_, &AppModel::cpuLoadChanged, this, &StatusItemController::updateCPUTitle,
            Qt::QueuedConnection);
    connect(&model_.settings(), &SettingsStore::menuBarMonochromeChanged, this, &StatusItemController::refreshIcon,
            Qt::QueuedConnection);
    connect(&model_.settings(), &SettingsStore::menuBarDisplayChanged, this, &StatusItemController::refreshIcon,
            Qt::QueuedConnection);

    buildStatusMenu();
    connect(&model_, &AppModel::forcedStateChanged, this, &StatusItemController::refreshMenu);
    connect(&model_, &AppModel::ignoredNamesChanged, this, &StatusItemController::refreshMenu);
    connect(&model_, &AppModel::debugUnlockedChanged, this, &StatusItemController::refreshMenu);
    if (desktop_.tray) {
        desktop_.tray->setContextMenu(&statusMenu_);
    }

    refreshIcon();
    QMetaObject::invokeMethod(this, &StatusItemController::updateCPUTitle, Qt::QueuedConnection);
    if (!desktop_.tray) {
        // Nothing to click: the popover content stays reachable as a window.
        showPopover();
    }
}

StatusItemController::~StatusItemController() {
    model_.onMenuFaceChange = nullptr;
    model_.onRestPhaseChange = nullptr;
    animator_.setIcon = nullptr;
    if (desktop_.tray) {
        desktop_.tray->onClick = nullptr;
        desktop_.tray->setContextMenu(nullptr);
    }
}

void StatusItemController::handleClick(TrayPresence::Click click, Qt::KeyboardModifiers modifiers) {
    if (click != TrayPresence::Click::trigger) {
        // The tray shows the context menu itself.
        return;
    }
    cursorAtClick_ = desktop_.cursor();
    if (modifiers.testFlag(Qt::ControlModifier)) {
        menuAltHeld_ = modifiers.testFlag(Qt::AltModifier);
        refreshMenu();
        statusMenu_.popup(cursorAtClick_.value_or(QPoint()));
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
    if (isPopoverShown()) {
        return;
    }
    model_.popoverWillOpen(altHeld || desktop_.debugAlwaysUnlocked);
    popoverView_->refresh();
    popover_->adjustSize();
    if (desktop_.popup) {
        PopoverPlacement::Request request;
        request.size = popover_->sizeHint();
        if (desktop_.tray) {
            request.trayGeometry = desktop_.tray->geometry();
        }
        request.cursorAtClick = cursorAtClick_;
        request.lastAnchor = lastAnchor_;
        request.screens = desktop_.screens();
        const PopoverPlacement::Placement placement = PopoverPlacement::place(request);
        lastAnchor_ = placement.anchor;
        popover_->move(placement.topLeft);
    }
    cursorAtClick_.reset();
    popover_->show();
    popover_->raise();
    popover_->activateWindow();
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
}

bool StatusItemController::debugUnlocked() const {
    return desktop_.debugAlwaysUnlocked || model_.debugUnlocked() || menuAltHeld_;
}

std::vector<QIcon> StatusItemController::composeFrames() {
    return composer_.frames(model_.menuBarFrames(), model_.settings().menuBarDisplay(), model_.cpuLoad(),
                            PeaStyle{model_.settings().menuBarMonochrome(), model_.increaseContrast()},
                            desktop_.tint());
}

void StatusItemController::refreshIcon() {
    updateToolTip();
    animator_.show(composeFrames());
}

void StatusItemController::updateCPUTitle() {
    updateToolTip();
    if (model_.settings().menuBarDisplay() != MenuBarDisplay::face) {
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

void StatusItemController::restPhaseChanged(RestPhase phase) {
    if (phase == RestPhase::resting) {
        closePopover();
    }
}

void StatusItemController::buildStatusMenu() {
    debugMenu_ = new QMenu(QStringLiteral("Debug"), &statusMenu_);
    automaticAction_ = debugMenu_->addAction(QStringLiteral("Automatic (real load)"), this,
                                             [this] { model_.setForcedState(std::nullopt); });
    automaticAction_->setCheckable(true);
    for (const HeatState state : allHeatStates) {
        QAction* action = debugMenu_->addAction(QString::fromUtf8(forceTitles[static_cast<int>(state)]), this,
                                                [this, state] { model_.setForcedState(state); });
        action->setCheckable(true);
        forceActions_.push_back(action);
    }
    debugMenu_->addSeparator();
    clearIgnoredAction_ = debugMenu_->addAction(QStringLiteral("Clear ignored apps"), this, [this] {
        model_.setIgnoredNames({});
        model_.saveIgnored();
        model_.refreshBlame();
    });
    debugMenuAction_ = statusMenu_.addMenu(debugMenu_);
    statusMenu_.addSeparator();

    const auto open = [this](std::function<void()> Windows::*show) {
        return [this, show] {
            if (windows_.*show) {
                (windows_.*show)();
            }
        };
    };
    statusMenu_.addAction(QStringLiteral("Open Halvrick"), this, [this] { showPopover(); });
    statusMenu_.addAction(QStringLiteral("History & Trends…"), this, open(&Windows::showHistory));
    statusMenu_.addAction(QStringLiteral("Vitals…"), this, open(&Windows::showVitals));
    statusMenu_.addAction(QStringLiteral("Check for Updates…"), this, [] { Updater::shared().checkForUpdates(); });
    statusMenu_.addSeparator();
    QAction* settingsAction = statusMenu_.addAction(QStringLiteral("Settings…"), this, open(&Windows::showSettings));
    settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    statusMenu_.addSeparator();
    QAction* quit = statusMenu_.addAction(QStringLiteral("Quit Halvrick"), qApp, &QCoreApplication::quit);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    refreshMenu();
}

void StatusItemController::refreshMenu() {
    debugMenuAction_->setVisible(debugUnlocked());
    const std::optional<HeatState> forced = model_.forcedState();
    automaticAction_->setChecked(!forced);
    for (std::size_t i = 0; i < forceActions_.size(); ++i) {
        forceActions_[i]->setChecked(forced && static_cast<std::size_t>(*forced) == i);
    }
    clearIgnoredAction_->setEnabled(!model_.ignoredNames().empty());
}

} // namespace halvrick
