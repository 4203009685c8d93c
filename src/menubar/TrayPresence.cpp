#include "menubar/TrayPresence.h"

#include "menubar/X11TrayPainter.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QIconEngine>
#include <QToolTip>
#include <QWidget>

namespace halvrick {

namespace {

// Paints whichever icon the shared slot holds at the time.
class FollowingIconEngine final : public QIconEngine {
public:
    explicit FollowingIconEngine(std::shared_ptr<QIcon> shown) : shown_(std::move(shown)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        shown_->paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return shown_->pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return shown_->pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return shown_->actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return shown_->availableSizes(mode, state);
    }
    bool isNull() override { return shown_->isNull(); }
    QString key() const override { return QStringLiteral("halvrick.following"); }
    QIconEngine* clone() const override { return new FollowingIconEngine(shown_); }

private:
    std::shared_ptr<QIcon> shown_;
};

// Qt's name for its XEmbed tray window.
const QString embeddedWindowName = QStringLiteral("QSystemTrayIconSys");

std::unique_ptr<X11TrayPainter> painterForThisDisplay() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? X11TrayPainter::make(x11->connection()) : nullptr;
}

} // namespace

std::unique_ptr<SystemTrayPresence> SystemTrayPresence::make() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return nullptr;
    }
    return std::unique_ptr<SystemTrayPresence>(new SystemTrayPresence());
}

SystemTrayPresence::SystemTrayPresence()
    : shown_(std::make_shared<QIcon>()), following_(new FollowingIconEngine(shown_)),
      painter_(painterForThisDisplay()) {
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!onClick) {
            return;
        }
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            onClick(Click::trigger);
            break;
        case QSystemTrayIcon::Context:
            onClick(Click::context);
            break;
        default:
            onClick(Click::other);
            break;
        }
    });
}

SystemTrayPresence::~SystemTrayPresence() = default;

void SystemTrayPresence::setIcon(const QIcon& icon) {
    *shown_ = icon;
    if (paintDirectly(icon)) {
        return;
    }
    icon_.setIcon(embeddedWindow() != nullptr ? following_ : icon);
    // A tray learns of the item only once it has an icon.
    if (!icon_.isVisible()) {
        icon_.show();
    }
}

bool SystemTrayPresence::paintDirectly(const QIcon& icon) {
    QWidget* window = embeddedWindow();
    // Until Qt's window holds the following icon, its own repaints would bring an old frame back.
    if (window == nullptr || !painter_ || icon_.icon().cacheKey() != following_.cacheKey() ||
        !window->isVisible()) {
        return false;
    }
    return painter_->show(slot_.window, slot_.size, slot_.devicePixelRatio, icon);
}

void SystemTrayPresence::readSlot() {
    slot_ = embedded_ ? Slot{static_cast<std::uint32_t>(embedded_->winId()), embedded_->size(),
                             embedded_->devicePixelRatioF()}
                      : Slot{};
}

bool SystemTrayPresence::eventFilter(QObject* watched, QEvent* event) {
    if (watched == embedded_) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::WinIdChange:
        // A new screen may bring another device pixel ratio.
        case QEvent::ScreenChangeInternal:
            readSlot();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QWidget* SystemTrayPresence::embeddedWindow() {
    if (!embedded_ && icon_.isVisible()) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == embeddedWindowName) {
                embedded_ = widget;
                widget->installEventFilter(this);
                readSlot();
                break;
            }
        }
    }
    return embedded_;
}

void SystemTrayPresence::setToolTip(const QString& text) {
    const QString before = icon_.toolTip();
    icon_.setToolTip(text);
    // A StatusNotifierItem host is told of the change and asks again; Qt's XEmbed window is not.
    if (QWidget* window = embeddedWindow()) {
        followShownToolTip(*window, before, text);
    }
}

void SystemTrayPresence::followShownToolTip(QWidget& owner, const QString& before, const QString& after) {
    if (!QToolTip::isVisible() || before == after || QToolTip::text() != before) {
        return;
    }
    // The pointer rests on the icon while its tooltip is up: the tooltip stays where it is.
    QToolTip::showText(QCursor::pos(), after, &owner);
}

void SystemTrayPresence::setContextMenu(QMenu* menu) { icon_.setContextMenu(menu); }

std::optional<QRect> SystemTrayPresence::geometry() const {
    const QRect rect = icon_.geometry();
    return rect.isEmpty() ? std::nullopt : std::optional(rect);
}

} // namespace halvrick
