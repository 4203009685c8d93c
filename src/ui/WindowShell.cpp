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

namespace {

// Window managers draw title bars under 40 pixels and borders of a few; the frame is not known before
// the first show.
constexpr QMargins frameAllowance{4, 36, 4, 4};

const QScreen* screenOf(const QWidget& window) {
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

// The preferred and smallest sizes stay as they are where the screen has room for them; a fixed window
// stays fixed at the size it is given.
void fitInto(QWidget& window, QSize room) {
    const bool fixed = window.minimumSize() == window.maximumSize();
    window.setMinimumSize(window.minimumSize().boundedTo(room));
    if (fixed) {
        window.setMaximumSize(window.minimumSize());
    }
    window.resize(window.size().boundedTo(room));
}

} // namespace

QSize room(const QWidget& window) {
    const QScreen* screen = screenOf(window);
    if (!screen) {
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    }
    return screen->availableGeometry().marginsRemoved(frameAllowance).size().expandedTo(QSize(1, 1));
}

void present(QWidget& window, bool firstShow) {
    if (firstShow) {
        if (const QScreen* screen = screenOf(window)) {
            fitInto(window, room(window));
            QRect frame({}, window.size().grownBy(frameAllowance));
            frame.moveCenter(screen->availableGeometry().center());
            window.move(frame.topLeft());
        }
    }
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace halvrick::WindowShell
