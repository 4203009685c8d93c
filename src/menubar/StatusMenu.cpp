#include "menubar/StatusMenu.h"

#include "model/AppModel.h"
#include "model/Updater.h"
#include "model/WebAddress.h"
#include "ui/AboutBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QString>


namespace halvrick {

using Command = MenuRow::Command;

std::vector<MenuRow> statusMenuRows(const MenuSnapshot& snapshot, bool includeDebug, bool offersHelp,
                                    bool offersUpdates) {
    std::vector<MenuRow> rows;
    if (includeDebug) {
        MenuRow debug = MenuRow::item(Command::debugMenu, "Debug");
        debug.submenu = DebugMenuItems::rows(snapshot, DebugMenuItems::Host::statusItem);
        rows.push_back(std::move(debug));
        rows.push_back(MenuRow::separator());
    }
    // Some tray hosts only ever show the menu and never report a click on the icon.
    rows.push_back(MenuRow::item(Command::openPopover, "Open Halvrick"));
    rows.push_back(MenuRow::item(Command::roast, "Roast card…"));
    rows.push_back(MenuRow::item(Command::history, "History & Trends…"));
    rows.push_back(MenuRow::item(Command::vitals, "Vitals…"));
    rows.push_back(MenuRow::item(Command::coolDown, "Cool down (1 min)", snapshot.canStartCoolDown()));
    if (offersUpdates) {
        rows.push_back(MenuRow::item(Command::checkForUpdates, "Check for Updates…"));
    }
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::item(Command::wrapped, "Zurez Erazuri"));
    // No shortcuts: keys typed at a tray menu never reach its items (a tray host draws the menu itself).
    rows.push_back(MenuRow::item(Command::settings, "Settings…"));
    rows.push_back(MenuRow::separator());
    // A tray application has no application menu: its about box and help live here.
    rows.push_back(MenuRow::item(Command::about, "About Halvrick"));
    if (offersHelp) {
        rows.push_back(MenuRow::item(Command::help, "Halvrick Help"));
    }
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::item(Command::quit, "Quit Halvrick"));
    return rows;
}

StatusMenu::StatusMenu(AppModel& model, Actions actions, std::function<bool()> includeDebug, QWidget* parent)
    : LiveMenu(QString(), parent), model_(model), actions_(std::move(actions)),
      includeDebug_(std::move(includeDebug)),
      debugItems_(model, DebugMenuItems::Host::statusItem,
                  actions_.showPopover) {
    onTrigger = [this](const MenuRow& row) { perform(row); };
    offers = [this](const MenuRow& row) {
        const auto* action = actionFor(row.command);
        return !action || *action;
    };
    for (const auto signal : {&AppModel::restPhaseChanged, &AppModel::coolDownChanged,
                              &AppModel::forcedStateChanged, &AppModel::activeChallengeChanged,
                              &AppModel::simulatingSamplerFailureChanged, &AppModel::debugUnlockedChanged}) {
        connect(&model_, signal, this, &StatusMenu::refresh);
    }
    connect(&model_.blame(), &BlameModel::ignoredNamesChanged, this, &StatusMenu::refresh);
    // A menu popped here (rather than by a tray host) may find debug unlocked by the keys held now.
    connect(this, &QMenu::aboutToShow, this, &StatusMenu::refresh);
    refresh();
}

void StatusMenu::refresh() {
    setRows(statusMenuRows(MenuSnapshot::of(model_), includeDebug_ && includeDebug_(),
                           webAddress(helpPage()).has_value(), Updater::shared().hasSource()));
}

const std::function<void()>* StatusMenu::actionFor(Command command) const {
    if (const auto* window = actions_.windows.window(command)) {
        return window;
    }
    switch (command) {
    case Command::openPopover:
        return &actions_.showPopover;
    case Command::about:
        return &actions_.about;
    case Command::help:
        return &actions_.help;
    case Command::quit:
        return &actions_.quit;
    default:
        return nullptr;
    }
}

void StatusMenu::perform(const MenuRow& row) {
    if (!debugItems_.perform(row)) {
        if (row.command == Command::coolDown) {
            model_.startCoolDown();
            PopoverActions::call(actions_.showPopover);
        } else if (row.command == Command::checkForUpdates) {
            Updater::shared().checkForUpdates();
        } else if (const auto* action = actionFor(row.command)) {
            PopoverActions::call(*action);
        }
    }
    // The rest-interval override has no signal of its own.
    refresh();
}

void StatusMenu::showAbout() {
    AboutBox::present(QStringLiteral(HALVRICK_VERSION));
}

void StatusMenu::openHelp() {
    openWebPage(helpPage(), [](const QUrl& url) { QDesktopServices::openUrl(url); });
}

void StatusMenu::quitApp() {
    QCoreApplication::quit();
}

std::string StatusMenu::helpPage() {
    return HALVRICK_HELP_PAGE;
}

bool StatusMenu::openWebPage(const std::string& address, const std::function<void(const QUrl&)>& open) {
    const auto url = webAddress(address);
    if (!url || !open) {
        return false;
    }
    open(*url);
    return true;
}

} // namespace halvrick
