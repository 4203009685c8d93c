#include "sampling/Notifier.h"

#include "core/DisplayText.h"
#include "sampling/SamplingLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>
#include <utility>

namespace halvrick {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

// A tap on the notification's body arrives as the action "default".
const QStringList actions{QStringLiteral("default"), QStringLiteral("Open")};
constexpr uchar normalUrgency = 1;
constexpr qint32 serverDefaultTimeout = -1;

QDBusMessage methodCall(const QString& method) {
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

} // namespace

Notifier::Notifier(AppIdentity identity) : Notifier(std::move(identity), QDBusConnection::sessionBus()) {}

Notifier::Notifier(AppIdentity identity, QDBusConnection connection)
    : identity_(std::move(identity)), connection_(std::move(connection)) {
    if (!usable()) {
        return;
    }
    // Both signals go to every client of the server; only our own ids are acted on. No sender is
    // named: naming one makes the subscription wait for the bus to look up its owner.
    connection_.connect(QString(), path, interface, QStringLiteral("ActionInvoked"), this,
                        SLOT(actionInvoked(uint, QString)));
    connection_.connect(QString(), path, interface, QStringLiteral("NotificationClosed"), this,
                        SLOT(notificationClosed(uint, uint)));
    fetchCapabilities();
}

Notifier::~Notifier() = default;

bool Notifier::usable() const {
    return identity_.hasIdentifier() && connection_.isConnected();
}

void Notifier::send(const std::string& id, const std::string& body) {
    if (!usable()) {
        return;
    }
    fetchCapabilities();
    const QString text = shown(body);
    Posting& posting = postings_[id];
    if (posting.awaitingReply) {
        // Without the server's number a second Notify would show a second notification; the newest
        // body follows as a replacement once the number is known.
        posting.nextBody = text;
        posting.closeOnReply = false;
        return;
    }
    post(id, text);
}

void Notifier::post(const std::string& id, const QString& body) {
    Posting& posting = postings_[id];
    posting.awaitingReply = true;
    const QString appIcon = QString::fromStdString(*identity_.identifier());
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), appIcon);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(normalUrgency));
    QDBusMessage call = methodCall(QStringLiteral("Notify"));
    call << QString::fromUtf8(title) << posting.serverId.value_or(0u) << appIcon << shown(title)
         << displayedBody(body) << actions << hints << serverDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, id](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isError()) {
            // The bus's words: a server may put anything in them.
            qCWarning(samplingLog).noquote()
                << "A notification could not be posted:"
                << QString::fromStdString(DisplayText::escapedForLog(reply.error().message().toStdString()));
        }
        // The server never hands out 0: that number means "a new notification".
        if (reply.isError() || reply.value() == 0) {
            posted(id, std::nullopt);
        } else {
            posted(id, reply.value());
        }
    });
}

void Notifier::posted(const std::string& id, std::optional<std::uint32_t> serverId) {
    const auto it = postings_.find(id);
    if (it == postings_.end()) {
        return;
    }
    Posting& posting = it->second;
    posting.awaitingReply = false;
    if (serverId) {
        if (posting.serverId && *posting.serverId != *serverId) {
            idsByServerId_.erase(*posting.serverId);
        }
        posting.serverId = serverId;
        idsByServerId_[*serverId] = id;
    }
    if (posting.closeOnReply) {
        if (posting.serverId) {
            close(*posting.serverId);
        }
        forget(it);
        return;
    }
    if (posting.nextBody) {
        const QString next = *std::exchange(posting.nextBody, std::nullopt);
        post(id, next);
        return;
    }
    if (!posting.serverId) {
        forget(it);
    }
}

void Notifier::remove(const std::string& id) {
    if (!usable()) {
        return;
    }
    const auto it = postings_.find(id);
    if (it == postings_.end()) {
        return;
    }
    if (it->second.awaitingReply) {
        it->second.closeOnReply = true;
        it->second.nextBody.reset();
        return;
    }
    if (it->second.serverId) {
        close(*it->second.serverId);
    }
    forget(it);
}

void Notifier::close(std::uint32_t serverId) {
    QDBusMessage call = methodCall(QStringLiteral("CloseNotification"));
    call << serverId;
    // Sent without waiting: the reply carries nothing.
    connection_.send(call);
}

void Notifier::forget(std::map<std::string, Posting>::iterator posting) {
    if (posting->second.serverId) {
        idsByServerId_.erase(*posting->second.serverId);
    }
    postings_.erase(posting);
}

void Notifier::actionInvoked(uint serverId, const QString&) {
    if (idsByServerId_.contains(serverId) && onOpen) {
        onOpen();
    }
}

void Notifier::notificationClosed(uint serverId, uint) {
    const auto owner = idsByServerId_.find(serverId);
    if (owner == idsByServerId_.end()) {
        return;
    }
    const auto it = postings_.find(owner->second);
    idsByServerId_.erase(owner);
    if (it == postings_.end() || it->second.serverId != serverId) {
        return;
    }
    it->second.serverId.reset();
    // A replacement still on its way will be shown as a new notification.
    if (!it->second.awaitingReply) {
        postings_.erase(it);
    }
}

void Notifier::fetchCapabilities() {
    if (bodyMarkup_ || fetchingCapabilities_) {
        return;
    }
    fetchingCapabilities_ = true;
    auto* watcher = new QDBusPendingCallWatcher(
        connection_.asyncCall(methodCall(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        fetchingCapabilities_ = false;
        const QDBusPendingReply<QStringList> reply = *finished;
        if (!reply.isError()) {
            bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
        }
    });
}

QString Notifier::shown(const std::string& text) {
    // Bodies hold user text such as reminders and application names: as in the app's own windows, no
    // control or bidi character reaches the screen (a NUL would even cut the body short on the bus),
    // and a body never grows taller than the screen.
    return QString::fromStdString(DisplayText::neutralised(text, DisplayText::longestText));
}

QString Notifier::displayedBody(const QString& body) const {
    // Never let user text be read as markup, and when the server's reading is not known yet, assume it
    // reads markup.
    return bodyMarkup_.value_or(true) ? body.toHtmlEscaped() : body;
}

void Notifier::requestPermission(std::function<void(bool granted)> completion) {
    askServer(std::move(completion));
}

void Notifier::refreshPermission(std::function<void(bool authorised)> completion) {
    askServer(std::move(completion));
}

void Notifier::askServer(std::function<void(bool)> completion) {
    if (!completion) {
        return;
    }
    if (!usable()) {
        QMetaObject::invokeMethod(
            this, [completion = std::move(completion)] { completion(false); }, Qt::QueuedConnection);
        return;
    }
    // Asking also starts a server that the bus activates on demand.
    auto* watcher = new QDBusPendingCallWatcher(
        connection_.asyncCall(methodCall(QStringLiteral("GetServerInformation"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [completion = std::move(completion)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                completion(!finished->isError());
            });
}

} // namespace halvrick
