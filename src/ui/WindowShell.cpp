#include "ui/WindowShell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

namespace halvrick::WindowShell {

std::unique_ptr<QWidget> make(const QString& title, QSize minimumSize) {
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window);
    window->setWindowTitle(title);
    if (!minimumSize.isEmpty()) {
        window->setMinimumSize(minimumSize);
        window->resize(minimumSize);
    }
    auto* close = new QShortcut(QKeySequence::Close, window.get());
    QObject::connect(close, &QShortcut::activated, window.get(), &QWidget::close);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window.get());
    QObject::connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return window;
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
