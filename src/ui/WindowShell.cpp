#include "ui/WindowShell.h"

#include "sampling/HeapTrim.h"

#include <QApplication>
#include <QBackingStore>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeySequence>
#include <QPixmapCache>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace halvrick::WindowShell {

namespace {

std::function<void()>& openSettingsAction() {
    static std::function<void()> action;
    return action;
}

// A closed window gives back what only its showing needs: its native window and the backing store it
// paints into (several megabytes for a large window), and whatever its owner built for the show. The
// widget itself, its place and size stay for the next show.
class ShellWindow final : public QWidget {
public:
    explicit ShellWindow(std::function<void()> onClosed)
        : QWidget(nullptr, Qt::Window), onClosed_(std::move(onClosed)) {}

protected:
    void hideEvent(QHideEvent* event) override {
        QWidget::hideEvent(event);
        // Minimising hides a window without closing it: it keeps everything.
        if (event->spontaneous() || isMinimized()) {
            return;
        }
        // Later, outside the hide: the native window must not go while Qt is still taking it down.
        QTimer::singleShot(0, this, [self = QPointer<ShellWindow>(this)] {
            if (self && !self->isVisible()) {
                self->release();
            }
        });
    }

private:
    void release() {
        if (onClosed_) {
            onClosed_();
        }
        // The backing store outlives the native window unless it is emptied; the next paint sizes it again.
        if (QBackingStore* store = backingStore()) {
            store->resize(QSize());
        }
        if (testAttribute(Qt::WA_WState_Created)) {
            destroy();
        }
        // The style's cached pieces of this window's look; what the windows still open need is drawn again.
        QPixmapCache::clear();
        HeapTrim::returnFreedMemory();
    }

    std::function<void()> onClosed_;
};

} // namespace

std::unique_ptr<QWidget> make(const QString& title, QSize minimumSize, std::function<void()> onClosed) {
    auto window = std::make_unique<ShellWindow>(std::move(onClosed));
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
