#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

namespace halvrick {

// The running instance's door on the session bus. A later start finds the single-instance lock held
// and asks the running copy, through Activate, to show itself (the popover, or the window where there
// is no tray) instead of leaving without a word. Main thread only.
class ActivationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.halvrick.Halvrick")

public:
    static constexpr const char* serviceName = "io.github.halvrick.Halvrick";
    static constexpr const char* objectPath = "/io/github/halvrick/Halvrick";
    static constexpr const char* interfaceName = "io.github.halvrick.Halvrick";

    // What a later start prints, as one line: when the running copy answered, and when it could not be
    // asked (no bus, or it is not on this one).
    static constexpr const char* askedLine = "Halvrick is already running: it was asked to show itself.";
    static constexpr const char* alreadyRunningLine = "Halvrick is already running.";

    // Exports Activate on `connection` and asks for the name without waiting for the answer; a
    // connection that is not connected exports nothing.
    explicit ActivationService(QDBusConnection connection);
    ~ActivationService() override;
    ActivationService(const ActivationService&) = delete;
    ActivationService& operator=(const ActivationService&) = delete;

    // Runs on every activation. An activation that came before this was set (the name is taken early,
    // while the interface is still being built) is handed over at once.
    void setOnActivate(std::function<void()> onActivate);

    // The later start's side: asks the copy that owns the name to show itself, waiting at most
    // `timeoutMs`; true when it answered.
    static bool activateRunning(const QDBusConnection& connection, int timeoutMs = 5000);

public slots:
    Q_SCRIPTABLE void Activate();

private:
    QDBusConnection connection_;
    bool exported_ = false;
    bool pending_ = false;
    std::function<void()> onActivate_;
};

} // namespace halvrick
