#pragma once

// What the settings tests share: a store in memory, a login item and a notification server that do
// as told, and a way to type into a field as a user would.

#include "model/Defaults.h"
#include "model/SettingsStore.h"
#include "sampling/LoginItemService.h"
#include "sampling/NotificationService.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace halvrick::testing_support {

class FakeLoginItem : public LoginItemService {
public:
    std::optional<std::string> setEnabled(bool enabled) override {
        ++writes;
        if (refusal) {
            return refusal;
        }
        enabled_ = enabled;
        return std::nullopt;
    }
    bool isEnabled() const override { return enabled_; }

    // What the desktop holds, changed behind the app's back.
    void setHeld(bool enabled) { enabled_ = enabled; }

    std::optional<std::string> refusal;
    int writes = 0;

private:
    bool enabled_ = false;
};

// Answers only when told, as the session bus does later.
class FakeNotificationServer : public NotificationService {
public:
    void send(const std::string&, const std::string&) override {}
    void remove(const std::string&) override {}
    void requestPermission(std::function<void(bool)> completion) override { pending.push_back(completion); }
    void refreshPermission(std::function<void(bool)> completion) override { pending.push_back(completion); }

    // Answers every question asked so far.
    void answer(bool serverAnswers) {
        auto questions = std::move(pending);
        pending.clear();
        for (auto& completion : questions) {
            completion(serverAnswers);
        }
    }

    std::vector<std::function<void(bool)>> pending;
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    Defaults defaults{std::nullopt};
    SettingsStore settings{defaults};
    FakeLoginItem loginItem;
    FakeNotificationServer notifier;
};

inline void press(QWidget& widget, Qt::Key key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &up);
}

// Replaces what the field shows with `text`, typed key by key, then presses Return.
inline void typeAndReturn(QWidget& field, const QString& text) {
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&field, &selectAll);
    press(field, Qt::Key_Delete);
    for (const QChar c : text) {
        press(field, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
    }
    press(field, Qt::Key_Return);
}

// Leaves the field as a click elsewhere or Tab does.
inline void leave(QWidget& field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&field, &out);
}

// Empties the field as a user would, selecting all and deleting it.
inline void clear(QWidget& field) {
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&field, &selectAll);
    press(field, Qt::Key_Delete);
}

// Lets a running single-shot timer time out now, as if its interval had passed.
inline void runOut(QTimer& timer) {
    ASSERT_TRUE(timer.isActive()) << "the timer is not running";
    timer.stop();
    QMetaObject::invokeMethod(&timer, "timeout");
}

// Runs what was posted, deferred deletions included.
inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace halvrick::testing_support
