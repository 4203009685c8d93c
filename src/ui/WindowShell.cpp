#include "ui/WindowShell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

namespace halvrick::WindowShell {

namespace {

std::function<void()>& openSettingsAction() {
    static std::function<void()> action;
    return action;
}

} // namespace

std::unique_ptr<QWidget> make(const QString& title, QSize minimumSize) {
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window);
    window->setWindowTitle(title);
    if (!minimumSize.isEmpty()) {
        window->setMinimumSize(minimumSize);
        window->resize(minimumSize);
    }
    addShortcuts(*window);
    return window;
}

void addShortcuts(QWidget& window) {
    auto* close = new QShortcut(QKeySequence::Close, &window);
    QObject::connect(close, &QShortcut::activated, &window, &QWidget::close);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &window);
    QObject::connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    auto* settings = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), &window);
    QObject::connect(settings, &QShortcut::activated, &window, [] {
        if (const auto& open = openSettingsAction()) {
            open();
        }
    });
}

void setOpenSettings(std::function<void()> openSettings) {
    openSettingsAction() = std::move(openSettings);
}

void present(QWidget& window, bool firstShow) {
    if (firstShow) {
        const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame({}, window.size());
            frame.moveCenter(screen->availableGeometry().center());
            window.move(frame.topLeft());
        }
    }
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace halvrick::WindowShell
