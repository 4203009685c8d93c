#include "settings/SettingsWindowController.h"

#include "settings/SettingsView.h"
#include "ui/WindowShell.h"

#include <QVBoxLayout>

namespace halvrick {

SettingsWindowController::SettingsWindowController(SettingsStore& settings, NotificationService& notifier,
                                                   LoginItemService& loginItem,
                                                   std::function<void()> onResetStats,
                                                   std::function<void()> openHistory, AppIdentity identity)
    : onResetStats(std::move(onResetStats)), openHistory(std::move(openHistory)), settings_(settings),
      notifier_(notifier), loginItem_(loginItem), identity_(std::move(identity)) {}

void SettingsWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("Halvrick Settings"));
        window_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        window_->setWindowFlag(Qt::WindowMinimizeButtonHint, false);
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        // The callbacks are read when used, so that they may be given after the controller is made.
        view_ = new SettingsView(
            settings_, notifier_, loginItem_, identity_,
            [this] {
                if (onResetStats) {
                    onResetStats();
                }
            },
            [this] {
                if (openHistory) {
                    openHistory();
                }
            },
            window_.get());
        layout->addWidget(view_);
        window_->setFixedSize(view_->sizeHint());
    }
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
