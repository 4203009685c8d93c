#pragma once

#include "sampling/AppIdentity.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace halvrick {

class LoginItemService;
class NotificationService;
class SettingsStore;
class SettingsView;

// The "Halvrick Settings" window: one window, made on first show and reused; closing only hides it.
class SettingsWindowController {
public:
    SettingsWindowController(SettingsStore& settings, NotificationService& notifier, LoginItemService& loginItem,
                             std::function<void()> onResetStats, std::function<void()> openHistory,
                             AppIdentity identity = AppIdentity());

    // The confirmed "Reset" of the window.
    std::function<void()> onResetStats;
    // The window's history button.
    std::function<void()> openHistory;

    // Makes the window on first use, then brings it to the front.
    void show();
    // None until the first show.
    QWidget* window() const { return window_.get(); }
    SettingsView* view() const { return view_; }
    SettingsStore& settings() const { return settings_; }
    NotificationService& notifier() const { return notifier_; }

private:
    SettingsStore& settings_;
    NotificationService& notifier_;
    LoginItemService& loginItem_;
    AppIdentity identity_;
    std::unique_ptr<QWidget> window_;
    SettingsView* view_ = nullptr;
};

} // namespace halvrick
