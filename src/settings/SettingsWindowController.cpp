#include "settings/SettingsWindowController.h"

#include "ui/WindowShell.h"

namespace halvrick {

SettingsWindowController::SettingsWindowController(SettingsStore& settings, NotificationService& notifier,
                                                   std::function<void()> onResetStats,
                                                   std::function<void()> openHistory)
    : onResetStats(std::move(onResetStats)), openHistory(std::move(openHistory)), settings_(settings),
      notifier_(notifier) {}

void SettingsWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("Halvrick Settings"));
        window_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        window_->setWindowFlag(Qt::WindowMinimizeButtonHint, false);
    }
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
