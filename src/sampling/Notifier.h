#pragma once

#include "sampling/AppIdentity.h"
#include "sampling/NotificationService.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace halvrick {

// Notifications through the desktop's notification server (org.freedesktop.Notifications). Lives
// on the main thread and never waits for the server: every call is asynchronous, and every answer
// and tap arrives through the main thread's event loop. Without a session bus or an identifier it
// shows nothing and reports no permission.
class Notifier : public QObject, public NotificationService {
    Q_OBJECT

public:
    static constexpr const char* title = "Halvrick";

    // On the session bus.
    explicit Notifier(AppIdentity identity = AppIdentity());
    Notifier(AppIdentity identity, QDBusConnection connection);
    ~Notifier() override;
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // Called once for each tap on a notification this notifier showed.
    std::function<void()> onOpen;

    void send(const std::string& id, const std::string& body) override;
    void remove(const std::string& id) override;
    // There is no permission to ask for: notifications can be shown when a server answers.
    void requestPermission(std::function<void(bool granted)> completion) override;
    void refreshPermission(std::function<void(bool authorised)> completion) override;

private slots:
    void actionInvoked(uint serverId, const QString& action);
    void notificationClosed(uint serverId, uint reason);

private:
    // What is known of one id: the server's number for it once a Notify has been answered, and
    // what was asked while an answer was still outstanding.
    struct Posting {
        std::optional<std::uint32_t> serverId;
        bool awaitingReply = false;
        std::optional<QString> nextBody;
        bool closeOnReply = false;
    };

    bool usable() const;
    void post(const std::string& id, const QString& body);
    void posted(const std::string& id, std::optional<std::uint32_t> serverId);
    void close(std::uint32_t serverId);
    void forget(std::map<std::string, Posting>::iterator posting);
    void fetchCapabilities();
    static QString shown(const std::string& text);
    QString displayedBody(const QString& body) const;
    void askServer(std::function<void(bool)> completion);

    AppIdentity identity_;
    QDBusConnection connection_;
    std::map<std::string, Posting> postings_;
    std::map<std::uint32_t, std::string> idsByServerId_;
    // Unknown until the server has said whether it reads markup in bodies.
    std::optional<bool> bodyMarkup_;
    bool fetchingCapabilities_ = false;
};

} // namespace halvrick
