#pragma once

#include "sampling/AppIdentity.h"
#include "ui/WallClock.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

namespace halvrick {

class FirstRunView;
class LoginItemService;
class NotificationService;
class SettingsStore;

// The one-time welcome window. "Let's go", "Skip" and the close button all complete the first run,
// once: the setting is stored, onDone runs (the popover opens) and the window goes away.
class FirstRunWindowController : public QObject {
    Q_OBJECT

public:
    struct Services {
        SettingsStore& settings;
        NotificationService& notifier;
        LoginItemService& loginItem;
        AppIdentity identity;
        WallClock clock = WallClock::system();
        // Whether the desktop asks for reduced motion; none: it never does.
        std::function<bool()> reducesMotion = nullptr;
    };

    FirstRunWindowController();
    ~FirstRunWindowController() override;

    // Shows the window with its choices as the desktop has them now.
    void show(Services services, std::function<void()> onDone);

    // The desktop's motion setting changed: the pea follows it.
    void refreshMotion();

    bool completed() const { return completed_; }
    // While the window is open.
    QWidget* window() const { return window_; }
    FirstRunView* view() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void complete();
    // "Let's go": the choices applied, then completed.
    void finish(bool openAtLogin, bool notify);
    void closeWindow();

    std::optional<Services> services_;
    std::function<void()> onDone_;
    QPointer<QWidget> window_;
    bool completed_ = false;
};

} // namespace halvrick
