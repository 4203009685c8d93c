#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace halvrick {

class SegmentedControl;
class SettingsBindings;

// The "General" tab: start at login, the tray icon, the voice, the cool-down sound, notifications,
// where updates come from and the stats buttons. Every control shows the stored (or the system's) value and
// follows it.
class GeneralPane : public QWidget {
public:
    static constexpr const char* deniedText =
        "No notification service answered. Start your desktop's notification daemon, then switch this on "
        "again.";

    GeneralPane(SettingsBindings& bindings, std::function<void()> openHistory, std::function<void()> askReset,
                QWidget* parent = nullptr);

    QCheckBox* loginSwitch() const { return login_; }
    QLabel* loginErrorCaption() const { return loginError_; }
    QCheckBox* monochromeSwitch() const { return monochrome_; }
    SegmentedControl* trayStylePicker() const { return trayStyle_; }
    SegmentedControl* personalityPicker() const { return personality_; }
    QLabel* personalityBlurb() const { return blurb_; }
    QCheckBox* soundSwitch() const { return sound_; }
    QCheckBox* notificationsSwitch() const { return notifications_; }
    QLabel* notificationsDeniedCaption() const { return denied_; }
    QLabel* developmentNote() const { return developmentNote_; }
    QPushButton* historyButton() const { return history_; }
    QPushButton* resetButton() const { return reset_; }

private:
    // Shows what is stored and what the system holds, without writing anything.
    void sync();

    SettingsBindings& bindings_;
    QCheckBox* login_;
    QLabel* loginError_;
    QCheckBox* monochrome_;
    SegmentedControl* trayStyle_;
    SegmentedControl* personality_;
    QLabel* blurb_;
    QCheckBox* sound_;
    QCheckBox* notifications_;
    QLabel* denied_;
    QLabel* developmentNote_;
    QPushButton* history_;
    QPushButton* reset_;
};

} // namespace halvrick
