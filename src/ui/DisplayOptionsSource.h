#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace halvrick {

// The desktop's accessibility display options that change how the pea is drawn.
struct DisplayOptions {
    bool reduceMotion = false;
    bool increaseContrast = false;

    friend bool operator==(const DisplayOptions&, const DisplayOptions&) = default;
};

// Where the display options come from; both are off until a source says otherwise.
class DisplayOptionsSource {
public:
    virtual ~DisplayOptionsSource() = default;
    virtual DisplayOptions current() const = 0;
    // Called on the main thread each time current() changed.
    std::function<void()> onChange;
};

// The options from the environment (HALVRICK_REDUCE_MOTION, HALVRICK_INCREASE_CONTRAST) and from the
// desktop's settings as the settings portal tells them: GNOME's animations and high-contrast switches,
// KDE's animation speed, the portal's own contrast preference. Either side turns an option on. The
// portal is asked asynchronously and followed through its SettingChanged signal; without a portal only
// the environment counts.
class SystemDisplayOptions final : public QObject, public DisplayOptionsSource {
    Q_OBJECT

public:
    struct Environment {
        bool reduceMotion = false;
        bool increaseContrast = false;

        // A variable counts when it is set to anything but "" or "0".
        static Environment process();
    };

    // Reads nothing from the desktop without a bus.
    SystemDisplayOptions(Environment environment, std::optional<QDBusConnection> bus);
    // This process's environment and the session bus, when there is one.
    static std::unique_ptr<SystemDisplayOptions> make();

    DisplayOptions current() const override;

public slots:
    // A portal setting, as read or as changed; settings the options do not depend on are ignored.
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void read(QDBusConnection& bus, const QString& group, const QString& key);
    void apply(const QString& group, const QString& key, const QVariant& value);

    Environment environment_;
    std::optional<bool> animationsEnabled_;
    std::optional<bool> highContrast_;
    std::optional<double> animationDurationFactor_;
    std::optional<unsigned> contrast_;
};

} // namespace halvrick
