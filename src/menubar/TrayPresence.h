#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace halvrick {

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

// The tray through QSystemTrayIcon.
class SystemTrayPresence final : public QObject, public TrayPresence {
    Q_OBJECT

public:
    // None when the desktop has no tray.
    static std::unique_ptr<SystemTrayPresence> make();

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override;
    void setContextMenu(QMenu* menu) override;
    std::optional<QRect> geometry() const override;

private:
    SystemTrayPresence();

    QSystemTrayIcon icon_;
};

} // namespace halvrick
