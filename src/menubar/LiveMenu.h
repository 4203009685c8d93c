#pragma once

#include "menubar/MenuRow.h"

#include <QMenu>
#include <functional>
#include <optional>
#include <vector>

class QAction;

namespace halvrick {

// A menu that follows a list of rows. When only enabled, ticked or title change, the very same items
// are updated, so a menu on screen (or exported to the tray host) changes in place while it is open;
// when items come or go the menu is rebuilt. Items are never deleted while one of them may still be
// delivering its click. Main thread only.
class LiveMenu : public QMenu {
    Q_OBJECT

public:
    explicit LiveMenu(const QString& title = {}, QWidget* parent = nullptr);

    void setRows(std::vector<MenuRow> rows);
    const std::vector<MenuRow>& rows() const { return rows_; }

    // The item of the first row with `command` (and `state`), submenus included; null when there is
    // none.
    QAction* action(MenuRow::Command command, std::optional<HeatState> state = std::nullopt) const;

    // A row was chosen, from this menu or one of its submenus.
    std::function<void(const MenuRow& row)> onTrigger;
    // When set, rows it refuses are left out (a submenu left empty too): items whose window this build
    // does not have are not offered at all.
    std::function<bool(const MenuRow& row)> offers;

private:
    void rebuild();
    void update();
    void chosen(std::size_t index);

    std::vector<MenuRow> rows_;
    // One per row; a submenu row's is the submenu's own action.
    std::vector<QAction*> actions_;
    std::vector<LiveMenu*> submenus_;
};

} // namespace halvrick
