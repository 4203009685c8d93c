#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QWidget;

namespace halvrick {

class X11TrayPainter;

// What the status item needs of the desktop's tray. A StatusNotifierItem tray reports no geometry and
// shows the context menu itself; an XEmbed tray reports its icon's geometry.
class TrayPresence {
public:
    enum class Click { trigger, context, other };

    virtual ~TrayPresence() = default;

    // Called on the main thread for each click on the icon.
    std::function<void(Click click)> onClick;

    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // The menu the tray shows on a right click; owned by the caller.
    virtual void setContextMenu(QMenu* menu) = 0;
    // The icon's place on screen, when the tray tells.
    virtual std::optional<QRect> geometry() const = 0;
};

// The tray through QSystemTrayIcon. On an XEmbed tray, Qt's tray window is handed one icon that always
// paints the frame on show, and a new frame is drawn straight into that window by an X11TrayPainter:
// Qt's repaint of the window costs far more than the frame itself, eight times a second while the pea
// animates. A StatusNotifierItem tray gets every new icon through Qt.
class SystemTrayPresence final : public QObject, public TrayPresence {
    Q_OBJECT

public:
    // None when the desktop has no tray.
    static std::unique_ptr<SystemTrayPresence> make();
    ~SystemTrayPresence() override;

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override;
    void setContextMenu(QMenu* menu) override;
    std::optional<QRect> geometry() const override;

    // A widget's new tooltip text reaches the screen only at the next hover: a tooltip on show keeps the
    // old text until it times out. When `owner`'s tooltip reading `before` is on show, it now reads
    // `after`, where it stands; otherwise nothing happens, at the cost of one check.
    static void followShownToolTip(QWidget& owner, const QString& before, const QString& after);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where frames are painted: Qt's XEmbed tray window as last seen, read again only when it changes.
    struct Slot {
        std::uint32_t window = 0;
        QSize size;
        double devicePixelRatio = 1;
    };

    SystemTrayPresence();
    // Qt's XEmbed tray window, once it exists.
    QWidget* embeddedWindow();
    bool paintDirectly(const QIcon& icon);
    void readSlot();

    QSystemTrayIcon icon_;
    // The frame on show, which the icon Qt holds on an XEmbed tray paints.
    std::shared_ptr<QIcon> shown_;
    QIcon following_;
    std::unique_ptr<X11TrayPainter> painter_;
    QPointer<QWidget> embedded_;
    Slot slot_;
};

} // namespace halvrick
