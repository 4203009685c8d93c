#include "settings/FirstRunWindowController.h"

#include "model/SettingsStore.h"
#include "pea/AnimatedPeaView.h"
#include "sampling/LoginItemService.h"
#include "sampling/NotificationService.h"
#include "settings/FirstRunView.h"
#include "ui/WindowShell.h"

#include <QEvent>
#include <QVBoxLayout>

namespace halvrick {

FirstRunWindowController::FirstRunWindowController() = default;

FirstRunWindowController::~FirstRunWindowController() {
    if (window_) {
        window_->removeEventFilter(this);
        delete window_.data();
    }
}

FirstRunView* FirstRunWindowController::view() const {
    return window_ ? window_->findChild<FirstRunView*>() : nullptr;
}

void FirstRunWindowController::show(Services services, std::function<void()> onDone) {
    if (completed_) {
        return;
    }
    services_.emplace(std::move(services));
    onDone_ = std::move(onDone);
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("Halvrick")).release();
        window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint);
        const FirstRunView::Choices choices{services_->identity.hasIdentifier(), services_->loginItem.isEnabled()};
        QPointer<FirstRunWindowController> self(this);
        auto* view = new FirstRunView(
            choices, services_->clock.now(), services_->clock.calendar(),
            [self](bool openAtLogin, bool notify) {
                if (self) {
                    self->finish(openAtLogin, notify);
                }
            },
            [self] {
                if (self) {
                    self->complete();
                    self->closeWindow();
                }
            },
            window_);
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
        window_->setFixedSize(layout->sizeHint());
        window_->installEventFilter(this);
    }
    refreshMotion();
    WindowShell::present(*window_, firstShow);
}

void FirstRunWindowController::refreshMotion() {
    FirstRunView* shown = view();
    if (shown && services_) {
        shown->pea().setAnimating(!(services_->reducesMotion && services_->reducesMotion()));
    }
}

void FirstRunWindowController::finish(bool openAtLogin, bool notify) {
    if (!services_) {
        return;
    }
    // A refusal is not this window's to report; the settings window shows it.
    services_->loginItem.setEnabled(openAtLogin);
    if (notify) {
        SettingsStore& settings = services_->settings;
        if (services_->identity.hasIdentifier()) {
            // The answer may come after the window is gone; the store lives as long as the program.
            services_->notifier.requestPermission(
                [&settings](bool granted) { settings.setNotificationsEnabled(granted); });
        } else {
            settings.setNotificationsEnabled(false);
        }
    }
    complete();
    closeWindow();
}

void FirstRunWindowController::complete() {
    if (completed_) {
        return;
    }
    completed_ = true;
    if (services_) {
        services_->settings.setHasCompletedFirstRun(true);
    }
    services_.reset();
    if (auto done = std::move(onDone_)) {
        onDone_ = nullptr;
        done();
    }
}

void FirstRunWindowController::closeWindow() {
    if (!window_) {
        return;
    }
    QWidget* window = window_;
    window_ = nullptr;
    window->removeEventFilter(this);
    window->close();
    window->deleteLater();
}

bool FirstRunWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close) {
        complete();
        QWidget* window = window_;
        window_ = nullptr;
        window->removeEventFilter(this);
        window->deleteLater();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace halvrick
