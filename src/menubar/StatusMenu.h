#pragma once

#include "menubar/DebugMenuItems.h"
#include "menubar/LiveMenu.h"
#include "menubar/MenuRow.h"
#include "menubar/MenuSnapshot.h"
#include "menubar/PopoverActions.h"

#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

class AppModel;

// The tray menu's rows: the Debug submenu first when `includeDebug`, then the windows, the cool-down,
// updates when there is an update source (`offersUpdates`), the weekly summary, settings, about, help when
// the build `offersHelp`, and quitting.
std::vector<MenuRow> statusMenuRows(const MenuSnapshot& snapshot, bool includeDebug, bool offersHelp,
                                    bool offersUpdates);

// The tray menu: one persistent menu, kept current from the model's signals so that a tray host that
// mirrors it (and cannot be told to refresh on opening) always shows the model as it is. Main thread only.
class StatusMenu : public LiveMenu {
    Q_OBJECT

public:
    // What the menu cannot do itself. Items whose action the host leaves empty are not offered.
    struct Actions {
        PopoverActions windows;
        std::function<void()> showPopover;
        std::function<void()> about = &StatusMenu::showAbout;
        std::function<void()> help = &StatusMenu::openHelp;
        std::function<void()> quit = &StatusMenu::quitApp;
    };

    // `includeDebug` is asked on every refresh: whether the Debug submenu is offered now.
    StatusMenu(AppModel& model, Actions actions, std::function<bool()> includeDebug,
               QWidget* parent = nullptr);

    // Reads the model (and whether debug is unlocked) now.
    void refresh();

    // The application's about box: its name and version.
    static void showAbout();
    // The help page of the build, in the browser.
    static void openHelp();
    static void quitApp();
    // The build's help page; empty when it names none.
    static std::string helpPage();
    // Opens `address` through `open` when it is a web page; anything else (empty, unparsable, a local
    // file or another scheme) opens nothing. True when it opened.
    static bool openWebPage(const std::string& address, const std::function<void(const QUrl&)>& open);

private:
    // The host's action behind a row; null for the rows the menu carries out itself.
    const std::function<void()>* actionFor(MenuRow::Command command) const;
    void perform(const MenuRow& row);

    AppModel& model_;
    Actions actions_;
    std::function<bool()> includeDebug_;
    DebugMenuItems debugItems_;
};

} // namespace halvrick
