#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace halvrick {

class NotificationService;
class SettingsStore;

// The "Halvrick Settings" window: one window, made on first show and reused; closing only hides it.
class SettingsWindowController {
public:
    SettingsWindowController(SettingsStore& settings, NotificationService& notifier,
                             std::function<void()> onResetStats, std::function<void()> openHistory);

    // The confirmed "Reset" of the window.
    std::function<void()> onResetStats;
    // The window's history button.
    std::function<void()> openHistory;

    void show();
    // None until the first show.
    QWidget* window() const { return window_.get(); }
    SettingsStore& settings() const { return settings_; }
    NotificationService& notifier() const { return notifier_; }

private:
    SettingsStore& settings_;
    NotificationService& notifier_;
    std::unique_ptr<QWidget> window_;
};

} // namespace halvrick
