#pragma once

#include "menubar/DebugMenuItems.h"
#include "menubar/MenuRow.h"
#include "menubar/MenuSnapshot.h"
#include "menubar/PopoverActions.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QToolButton;

namespace halvrick {

class CoalescedRefresh;

class AppModel;
class LiveMenu;

// The More menu's rows: every window and action of the popover, the Debug submenu after "Settings…"
// when `includeDebug`, and quitting; "Check for Updates…" only when there is an update source.
std::vector<MenuRow> moreMenuRows(const MenuSnapshot& snapshot, bool includeDebug, bool offersUpdates);

// The popover's last line: the mascot's own share of the processor, the settings button and the More
// menu. It carries its own margins, so the popover adds it as it is. The More menu follows the model
// while it is open. Main thread only.
class PopoverFooter : public QWidget {
    Q_OBJECT

public:
    static constexpr int buttonSize = 28;
    static constexpr int symbolSize = 20;

    // With `showsDebug` the Debug submenu is always offered; otherwise only while the model's debug is
    // unlocked.
    PopoverFooter(AppModel& model, PopoverActions actions, bool showsDebug, QWidget* parent = nullptr);

    // Reads the model now.
    void refresh();

    const QLabel& ownShareLabel() const { return *ownShare_; }
    QToolButton& settingsButton() const { return *settings_; }
    QToolButton& moreButton() const { return *more_; }
    LiveMenu& moreMenu() const { return *moreMenu_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void perform(const MenuRow& row);
    void paintSymbols();

    AppModel& model_;
    PopoverActions actions_;
    bool showsDebug_;
    DebugMenuItems debugItems_;
    // Owned by the footer.
    CoalescedRefresh* refresher_;
    QLabel* ownShare_;
    QToolButton* settings_;
    QToolButton* more_;
    LiveMenu* moreMenu_;
};

} // namespace halvrick
