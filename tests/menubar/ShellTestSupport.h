#pragma once

#include "../model/AppModelFakes.h"
#include "QtTestApp.h"
#include "core/Reminder.h"
#include "core/Uuid.h"
#include "menubar/StatusItemController.h"
#include "model/SettingsStore.h"

#include <QMenu>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace halvrick::shelltest {

// A tray that records what it was told.
class FakeTray : public TrayPresence {
public:
    void setIcon(const QIcon& icon) override {
        this->icon = icon;
        ++iconsSet;
    }
    void setToolTip(const QString& text) override { toolTip = text; }
    void setContextMenu(QMenu* menu) override { this->menu = menu; }
    std::optional<QRect> geometry() const override { return std::nullopt; }

    QIcon icon;
    int iconsSet = 0;
    QString toolTip;
    QMenu* menu = nullptr;
};

// A model over the fake world, and the status item over a fake desktop whose clock, keys and tray the
// test drives.
class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        settings = std::make_unique<SettingsStore>(*world.defaults);
        model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, world.services());
    }

    // The desktop of the tests: a fake tray (or none), a manual frame timer, held keys, one screen and the
    // test's clock.
    StatusItemController::Desktop fakeDesktop(bool withTray = true) {
        StatusItemController::Desktop desktop;
        if (withTray) {
            auto fake = std::make_unique<FakeTray>();
            tray = fake.get();
            desktop.tray = std::move(fake);
        }
        auto timer = std::make_unique<fakes::ManualTimer>();
        frameTimer = timer.get();
        desktop.frameTimer = std::move(timer);
        desktop.modifiers = [this] { return heldKeys; };
        desktop.cursor = [this] { return std::optional<QPoint>(pointer); };
        desktop.screens = [this] { return screens; };
        desktop.monotonic = [this] { return clock; };
        desktop.tint = [] { return QColor(Qt::black); };
        desktop.debugAlwaysUnlocked = debugEnvironment;
        desktop.popup = popupPanels;
        return desktop;
    }

    void makeController(bool withTray = true) {
        controller = std::make_unique<StatusItemController>(
            *model,
            StatusItemController::Windows{[this] { ++settingsShown; }, [this] { ++historyShown; },
                                          [this] { ++vitalsShown; }, [this] { ++roastShown; },
                                          [this] { ++wrappedShown; }, [this] { ++sampleWrappedShown; },
                                          [this] { ++artworkLabShown; }},
            fakeDesktop(withTray));
    }

    // A reminder every minute, due after a few minutes of work.
    void reminderDue() {
        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-000000000001"), "Stretch",
                                         Reminder::Schedule::every(1), true)});
        for (int i = 0; i < 3 && !model->activeReminder(); ++i) {
            world.advance(60);
            model->ingestLoad(5, world.now);
        }
        ASSERT_TRUE(model->activeReminder());
    }

    void click(Qt::KeyboardModifiers keys = Qt::NoModifier) {
        heldKeys = keys;
        controller->handleClick(TrayPresence::Click::trigger, keys);
    }

    void wait(std::chrono::milliseconds span) { clock += span; }

    // A heated machine with three applications to blame, the compiler most.
    void heatUp(double load = 90) {
        world.picks = {0, 1, 2};
        for (int i = 0; i < 60; ++i) {
            world.advance(1);
            model->ingestLoad(load, world.now);
        }
        ProcessSampler::Sample sample = fakes::processSample(
            world.now, 2,
            {{fakes::app("Compiler"), 2}, {fakes::app("Browser"), 1}, {AppKey::system(), 0.6},
             {AppKey{AppKey::Kind::process, "backupd", "backupd"}, 0.3}});
        // The applications are running: a quit goes out to them.
        sample.pids = {{fakes::app("Compiler"), {101}}, {fakes::app("Browser"), {102}}};
        model->ingestProcesses(sample);
    }

    fakes::FakeWorld world;
    fakes::FakeNotifier notifier;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<StatusItemController> controller;
    FakeTray* tray = nullptr;
    fakes::ManualTimer* frameTimer = nullptr;
    Qt::KeyboardModifiers heldKeys = Qt::NoModifier;
    std::chrono::steady_clock::time_point clock{std::chrono::hours(5)};
    bool debugEnvironment = false;
    // One screen with a top panel, the pointer on the tray at its right end.
    std::vector<PopoverPlacement::ScreenArea> screens{{QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050)}};
    QPoint pointer{1800, 10};
    // Real popups, placed on the screens; off: the popover is an ordinary window.
    bool popupPanels = false;
    int settingsShown = 0;
    int historyShown = 0;
    int vitalsShown = 0;
    int roastShown = 0;
    int wrappedShown = 0;
    int sampleWrappedShown = 0;
    int artworkLabShown = 0;
};

} // namespace halvrick::shelltest
