#pragma once

#include "core/PeaFace.h"
#include "core/RestPhase.h"
#include "menubar/BubbleRouter.h"
#include "menubar/NotchPeekController.h"
#include "menubar/NotchScreenInfo.h"
#include "menubar/PopoverPlacement.h"
#include "menubar/Scheduler.h"
#include "menubar/StatusMenu.h"
#include "menubar/TrayIconAnimator.h"
#include "menubar/TrayIconComposer.h"
#include "menubar/TrayPresence.h"
#include "ui/DisplayOptionsSource.h"

#include <QColor>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

class AppModel;
class ModelBubbleInputs;
class PopoverView;
class PopupPanel;
class SettingsStore;
class StatusItemSurfaces;
class WindowWatch;

// The application's presence in the tray: the animated icon, its tooltip, the popover a click opens,
// the speech bubble and the notch peek the pea talks through, and the tray menu. Made once at launch,
// after the model and the window controllers; lives as long as the process. Main thread only.
class StatusItemController : public QObject {
    Q_OBJECT

public:
    // A click on the tray icon that lands this soon after the popover closed is the click that closed
    // it (the popup closes on the press, the tray reports the release): it must not reopen it.
    static constexpr std::chrono::milliseconds reopenGuard{300};

    // The windows the tray and the popover open; the window controllers live above this library.
    struct Windows {
        std::function<void()> showSettings;
        std::function<void()> showHistory;
        std::function<void()> showVitals;
        std::function<void()> showRoast;
        // The weekly summary of the last seven days, and the one with demonstration figures.
        std::function<void()> showWrapped;
        std::function<void()> showSampleWrapped;
        // A default, so hosts may leave the developer's lab out.
        std::function<void()> showArtworkLab;
    };

    // The desktop as the controller sees it; tests hand in fakes.
    struct Desktop {
        // None when there is no tray: the popover content then opens as an ordinary window at launch.
        std::unique_ptr<TrayPresence> tray;
        std::unique_ptr<RepeatingTimer> frameTimer;
        // Read when a click arrives.
        std::function<Qt::KeyboardModifiers()> modifiers;
        std::function<std::optional<QPoint>()> cursor;
        std::function<std::vector<PopoverPlacement::ScreenArea>()> screens;
        std::function<std::chrono::steady_clock::time_point()> monotonic;
        // The tray's text colour, for digits and a monochrome pea.
        std::function<QColor()> tint;
        // HALVRICK_DEBUG is set: the debug items are always offered.
        bool debugAlwaysUnlocked = false;
        // Popovers are real popups; off for the ordinary window of a trayless desktop and in tests.
        bool popup = true;
        // Bubbles can be placed under the tray icon without taking the keyboard focus. Not on Wayland
        // alone: there the compositor puts a new window where it likes and may hand it the focus, so
        // the pea says nothing in bubbles and its notifications carry the messages.
        bool bubbles = true;
        // Ends heads-ups and peeks; single-shot timers when none is given.
        std::unique_ptr<Scheduler> scheduler;
        // The tray's screen, for the notch peek; none given counts as a screen without a notch.
        std::unique_ptr<NotchScreenInfo> notchScreens;
        // Reduce motion and increase contrast; none leaves both as the model has them.
        std::unique_ptr<DisplayOptionsSource> displayOptions;

        // This desktop: QSystemTrayIcon, the pointer, the screens and the environment.
        static Desktop system();
    };

    StatusItemController(AppModel& model, Windows windows, Desktop desktop);
    ~StatusItemController() override;

    // A click on the tray icon, with the modifier keys held at that moment.
    void handleClick(TrayPresence::Click click, Qt::KeyboardModifiers modifiers);
    // Opens the popover (nothing when it is open). Also the target of a tapped notification and of the
    // first-run window's completion.
    void showPopover();
    // With Alt held the popover opens with the debug items unlocked.
    void showPopover(bool altHeld);
    void closePopover();
    bool isPopoverShown() const;

    // Rebuilds the icon loop from the model: frames, timer and tooltip.
    void refreshIcon();
    // The CPU figure changed: redraws the figure in the frames and the tooltip only.
    void updateCPUTitle();

    // The model's heads-up, rest-phase and reminder callbacks.
    void showHeadsUp(const std::string& message, const PeaFace& face, double duration);
    void restPhaseChanged(RestPhase phase);
    void reminderChanged();
    // Shows the model's active reminder in the bubble when nothing outranks it.
    void showReminderIfPossible();
    void closeBubble();
    BubbleContent bubbleContent() const { return router_->bubbleContent(); }
    // Whether the model's active reminder is on screen here: in the bubble, or on the open popover's card.
    bool showsActiveReminder() const;
    // Whether the rest prompt is on screen here: in the bubble, or heading the open popover.
    bool showsRestPrompt() const;

    AppModel& model() const { return model_; }
    // The menu the tray shows, kept current from the model (also popped by Ctrl+click).
    StatusMenu& statusMenu() { return *statusMenu_; }
    PopoverView& popoverView() const { return *popoverView_; }
    PopupPanel& popoverPanel() const { return *popover_; }
    PopupPanel& bubblePanel() const { return *bubble_; }
    const NotchPeekController& notchPeek() const { return *notchPeek_; }
    const TrayIconAnimator& animator() const { return animator_; }
    bool hasTray() const { return desktop_.tray != nullptr; }
    // Whether the pea can talk in bubbles here (a tray to hang them from, a desktop that places them).
    bool showsBubbles() const { return hasTray() && desktop_.bubbles; }
    // Whether the Debug submenu is offered: HALVRICK_DEBUG, or Alt held when the popover last opened or
    // the menu was popped.
    bool debugUnlocked() const;
    // Whether the tray menu now on its way offers the Debug submenu: HALVRICK_DEBUG, or Alt held on the
    // click that shows it (never an Alt held on some earlier click).
    bool menuOffersDebug() const;
    const QString& toolTip() const { return toolTip_; }

    // The application is quitting (any road: the menu, a signal, the session ending): bubble routing
    // stops before Qt closes the windows, and the popover and every bubble close for good.
    void prepareToQuit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The router's surfaces are the controller's own windows.
    friend class StatusItemSurfaces;

    void popoverDidClose();
    // `activate`: the window takes the focus, as it should when the user asked for it.
    void openPopover(bool altHeld, bool activate);
    // The active reminder may have come on screen: the model takes down its notification.
    void noteReminderOnScreen();
    // Puts the view of `content` into the bubble, placed under the tray icon.
    void presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp);
    // Places a panel from its final size inside the free area of its screen; `cursor` is the pointer
    // at the click that opens it, if any.
    void place(PopupPanel& panel, const std::optional<QPoint>& cursor);
    // The panel on show took a new size: the same anchor, the new size.
    void placeAgain(PopupPanel& panel);
    PopoverPlacement::Request placementRequest(const std::optional<QPoint>& cursor) const;
    void updateDisplayOptions();
    std::vector<QIcon> composeFrames();
    void updateToolTip();

    AppModel& model_;
    Windows windows_;
    Desktop desktop_;
    TrayIconComposer composer_;
    TrayIconAnimator animator_;
    std::unique_ptr<PopupPanel> popover_;
    PopoverView* popoverView_ = nullptr;
    // Whether anyone can see the window the popover content stays open in where there is no tray.
    WindowWatch* popoverWatch_ = nullptr;
    std::unique_ptr<PopupPanel> bubble_;
    std::unique_ptr<NotchPeekController> notchPeek_;
    std::unique_ptr<ModelBubbleInputs> inputs_;
    std::unique_ptr<StatusItemSurfaces> surfaces_;
    std::unique_ptr<BubbleRouter> router_;
    std::unique_ptr<StatusMenu> statusMenu_;
    std::optional<QRect> lastAnchor_;
    std::optional<QPoint> cursorAtClick_;
    std::optional<std::chrono::steady_clock::time_point> popoverClosedAt_;
    QString toolTip_;
    // Alt held on the Ctrl+click that popped the menu.
    bool menuAltHeld_ = false;
    // The menu on show was popped by a Ctrl+click here, not by the tray host.
    bool menuPoppedHere_ = false;
};

} // namespace halvrick
