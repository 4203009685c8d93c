#include "app/ActivationService.h"
#include "app/CommandLine.h"
#include "app/SaveAtExit.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "artwork/AppIconView.h"
#include "artwork/ArtworkExporter.h"
#include "artwork/ArtworkLabWindowController.h"
#include "menubar/PopupPanel.h"
#include "menubar/StatusItemController.h"
#include "model/AppModel.h"
#include "model/Defaults.h"
#include "model/LaunchOptions.h"
#include "model/ModelLog.h"
#include "model/SettingsStore.h"
#include "model/Updater.h"
#include "reports/HistoryWindowController.h"
#include "reports/RoastWindowController.h"
#include "reports/VitalsWindowController.h"
#include "reports/WrappedWindowController.h"
#include "sampling/GraphicalSession.h"
#include "sampling/LoginItem.h"
#include "sampling/Notifier.h"
#include "settings/FirstRunWindowController.h"
#include "settings/SettingsWindowController.h"
#include "storage/XdgPaths.h"
#include "ui/WindowShell.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace halvrick;

// Exports render without a display and never start the interface: always offscreen, whatever platform
// the session or the command line names, as a desktop's platform dies without its server.
int exportArtwork(const LaunchOptions& options, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    QGuiApplication app(argc, argv);
    return ArtworkExporter::run(options.exportKind, options.exportFolder, std::cout);
}

// One heads-up notification at a time: a new one replaces the last.
constexpr const char* headsUpNotificationId = "heads-up";

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) {
        list << QString::fromLocal8Bit(argv[i]);
    }
    return list;
}

// A later start: the running copy is asked to show itself, and this one leaves.
int askRunningCopy(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool asked = ActivationService::activateRunning(QDBusConnection::sessionBus());
    std::cout << (asked ? ActivationService::askedLine : ActivationService::alreadyRunningLine) << std::endl;
    return 0;
}

// The icon of every window, drawn as the installed app icon is, so that title bars and task lists match
// the desktop entry.
QIcon windowIcon() {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        AppIcon::paint(painter, QSizeF(side, side));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// Where the running copy is asked to show itself: the popover, or its window where there is no tray
// (brought back when it was closed, or to the front).
void showItself(StatusItemController& statusItem) {
    if (!statusItem.isPopoverShown()) {
        statusItem.showPopover();
        return;
    }
    PopupPanel& panel = statusItem.popoverPanel();
    panel.raise();
    panel.activateWindow();
}

// What the process owns from launch to exit, in the order it is built.
struct Application {
    explicit Application(Notifier& notifier)
        : defaults(std::make_shared<Defaults>()), settings(*defaults),
          model(Config::defaults(), settings, notifier, defaults), history(model), vitals(model),
          roast(model), wrapped(model), settingsWindow(settings, notifier, loginItem, {}, {}) {}

    std::shared_ptr<Defaults> defaults;
    SettingsStore settings;
    AppModel model;
    HistoryWindowController history;
    VitalsWindowController vitals;
    RoastWindowController roast;
    WrappedWindowController wrapped;
    LoginItem loginItem;
    SettingsWindowController settingsWindow;
};

// Saves the ledgers, stats before vitals; nothing else is saved at the end.
void saveLedgers(AppModel& model) {
    model.stats().save();
    model.vitals().save();
}

} // namespace

int main(int argc, char** argv) {
    ModelLog::followLogSwitch(AppModelEnvironment::processVariable);
    XdgPaths::settleHome();
    const std::vector<std::string> arguments(argv, argv + argc);
    const LaunchOptions options = LaunchOptions::parse(arguments, LaunchOptions::processEnvironment());
    if (options.exportKind != LaunchOptions::Export::none) {
        return exportArtwork(options, argv);
    }
    // Help and the version need no display and write nothing.
    const CommandLine line = CommandLine::parse(argumentList(argc, argv), QStringLiteral(HALVRICK_VERSION));
    if (line.ends()) {
        (line.answer == CommandLine::Answer::misuse ? std::cerr : std::cout)
            << line.text.toStdString() << std::flush;
        return line.exitStatus();
    }
    if (options.platform) {
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*options.platform));
    }
    if (!GraphicalSession::reachable(arguments, XdgPaths::processVariable, GraphicalSession::systemProbes())) {
        std::cerr << "Halvrick needs a graphical session: no X11 or Wayland display could be reached." << std::endl;
        return 1;
    }

    // Held until exit; a second interactive launch hands over to the running copy.
    std::optional<SingleInstance> instance;
    if (const auto lockPath = SingleInstance::defaultLockPath()) {
        instance.emplace(*lockPath);
        if (instance->tryLock() == SingleInstance::Outcome::heldByAnother) {
            return askRunningCopy(argc, argv);
        }
    }

    // Qt's own event loop costs less a wake-up than GLib's, and the tray pea wakes eight times a second.
    // A user who set the variable keeps their choice; programs started from here get the environment back.
    const bool choosesEventLoop = !qEnvironmentVariableIsSet("QT_NO_GLIB");
    if (choosesEventLoop) {
        qputenv("QT_NO_GLIB", "1");
    }
    QApplication app(argc, argv);
    if (choosesEventLoop) {
        qunsetenv("QT_NO_GLIB");
    }
    QApplication::setApplicationName(QStringLiteral("Halvrick"));
    QApplication::setApplicationVersion(QStringLiteral(HALVRICK_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(AppIdentity::appId));
    QApplication::setWindowIcon(windowIcon());
    // Taken as early as possible, so that a start right behind this one finds it.
    ActivationService activation(QDBusConnection::sessionBus());
    // The tray app has no main window: closing History must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    Notifier notifier;
    FirstRunWindowController firstRun;

    Application shell(notifier);
    AppModel& model = shell.model;
    QPointer<AppModel> weakModel(&model);
    shell.settingsWindow.onResetStats = [weakModel] {
        if (weakModel) {
            weakModel->resetStats();
        }
    };
    shell.settingsWindow.openHistory = [&history = shell.history] { history.show(); };

    ArtworkLabWindowController artworkLab;
    StatusItemController statusItem(
        model,
        {[&w = shell.settingsWindow] { w.show(); }, [&w = shell.history] { w.show(); },
         [&w = shell.vitals] { w.show(); }, [&w = shell.roast] { w.show(); },
         [&w = shell.wrapped] { w.showLastWeek(); }, [&w = shell.wrapped] { w.showSample(); },
         [&artworkLab] { artworkLab.show(); }},
        StatusItemController::Desktop::system());
    if (!statusItem.hasTray()) {
        std::cout << "No system tray found: Halvrick opens as a window instead." << std::endl;
    }
    QPointer<StatusItemController> weakStatusItem(&statusItem);
    const auto openPopover = [weakStatusItem] {
        if (weakStatusItem) {
            weakStatusItem->showPopover();
        }
    };
    notifier.onOpen = openPopover;
    activation.setOnActivate([weakStatusItem] {
        if (weakStatusItem) {
            showItself(*weakStatusItem);
        }
    });
    if (!statusItem.showsBubbles()) {
        // No bubble to say it in: the notification carries the heads-up (reminders and the rest prompt
        // post theirs anyway).
        model.onHeadsUp = [shown = std::move(model.onHeadsUp), &notifier, &settings = shell.settings](
                              const std::string& text, const PeaFace& face, double duration) {
            if (shown) {
                shown(text, face, duration);
            }
            if (settings.notificationsEnabled()) {
                notifier.send(headsUpNotificationId, text);
            }
        };
    }
    WindowShell::setOpenSettings([&w = shell.settingsWindow] { w.show(); });
    WindowShell::addShortcuts(statusItem.popoverPanel());

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &model, [&model] { saveLedgers(model); });
    // Logging out may end the session without a clean quit.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &model,
                     [&model](QSessionManager&) { saveLedgers(model); });
    const auto shutdown = ShutdownSignals::install([](int) { QCoreApplication::quit(); });

    model.start();
    Updater::shared().start();
    if (options.showsTestHeadsUp) {
        QTimer::singleShot(1500, [weakStatusItem] {
            if (weakStatusItem) {
                weakStatusItem->model().showTestHeadsUp();
            }
        });
    }

    if (!shell.settings.hasCompletedFirstRun()) {
        firstRun.show({shell.settings, notifier, shell.loginItem, AppIdentity(), WallClock::system(),
                       [&model] { return model.reduceMotion(); }},
                      openPopover);
        QObject::connect(&model, &AppModel::displayOptionsChanged, &firstRun,
                         &FirstRunWindowController::refreshMotion);
    }
    // Made last: when the X server goes away, Qt and Xlib end the process with exit(), past every quit signal.
    const SaveAtExit saveAtExit([&model] { saveLedgers(model); });
    return app.exec();
}
