#include "settings/FirstRunWindowController.h"

#include "model/SettingsStore.h"
#include "ui/WindowShell.h"

#include <QEvent>

namespace halvrick {

FirstRunWindowController::FirstRunWindowController() = default;

FirstRunWindowController::~FirstRunWindowController() {
    if (window_) {
        window_->removeEventFilter(this);
    }
}

void FirstRunWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("Halvrick"));
        window_->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        window_->setWindowFlag(Qt::WindowMinimizeButtonHint, false);
        window_->installEventFilter(this);
    }
    WindowShell::present(*window_, firstShow);
}

void FirstRunWindowController::complete() {
    if (completed_) {
        return;
    }
    completed_ = true;
    if (settings) {
        settings->setHasCompletedFirstRun(true);
    }
    if (onDone) {
        onDone();
    }
}

bool FirstRunWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && event->type() == QEvent::Close) {
        complete();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace halvrick
