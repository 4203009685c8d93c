#include "menubar/LiveMenu.h"

#include "ui/PlainText.h"

#include <QAction>
#include <QActionGroup>
#include <algorithm>

namespace halvrick {

namespace {

bool sameShape(const std::vector<MenuRow>& a, const std::vector<MenuRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MenuRow& x, const MenuRow& y) {
        return x.command == y.command && x.state == y.state && x.checkable == y.checkable &&
               x.exclusive == y.exclusive && sameShape(x.submenu, y.submenu);
    });
}

std::vector<MenuRow> offered(std::vector<MenuRow> rows, const std::function<bool(const MenuRow&)>& offers) {
    std::vector<MenuRow> kept;
    for (MenuRow& row : rows) {
        if (row.command != MenuRow::Command::separator && !offers(row)) {
            continue;
        }
        if (!row.submenu.empty()) {
            row.submenu = offered(std::move(row.submenu), offers);
            if (row.submenu.empty()) {
                continue;
            }
        }
        kept.push_back(std::move(row));
    }
    return kept;
}

// "&" marks a mnemonic in a menu item; "History & Trends…" must keep its ampersand.
QString itemText(const std::string& title) { return PlainText::buttonTitle(title); }

bool isSubmenu(const MenuRow& row) {
    return !row.submenu.empty();
}

} // namespace

LiveMenu::LiveMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {}

void LiveMenu::setRows(std::vector<MenuRow> rows) {
    if (offers) {
        rows = offered(std::move(rows), offers);
    }
    const bool sameItems = sameShape(rows_, rows) && actions_.size() == rows.size();
    rows_ = std::move(rows);
    if (sameItems) {
        update();
    } else {
        rebuild();
    }
}

QAction* LiveMenu::action(MenuRow::Command command, std::optional<HeatState> state) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const MenuRow& row = rows_[i];
        if (row.command == command && row.state == state) {
            return actions_[i];
        }
        if (submenus_[i]) {
            if (QAction* inner = submenus_[i]->action(command, state)) {
                return inner;
            }
        }
    }
    return nullptr;
}

void LiveMenu::rebuild() {
    // A click being delivered may be what changed the rows: the old items go later, not now.
    for (QAction* old : actions()) {
        removeAction(old);
    }
    for (QAction* old : actions_) {
        if (old->parent() == this) {
            old->deleteLater();
        }
    }
    for (LiveMenu* old : submenus_) {
        if (old) {
            old->deleteLater();
        }
    }
    for (QActionGroup* old : findChildren<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    actions_.clear();
    submenus_.clear();

    QActionGroup* group = nullptr;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const MenuRow& row = rows_[i];
        if (row.command == MenuRow::Command::separator) {
            actions_.push_back(addSeparator());
            submenus_.push_back(nullptr);
            group = nullptr;
            continue;
        }
        if (isSubmenu(row)) {
            auto* submenu = new LiveMenu(itemText(row.title), this);
            submenu->onTrigger = [this](const MenuRow& chosenRow) {
                if (onTrigger) {
                    onTrigger(chosenRow);
                }
            };
            actions_.push_back(addMenu(submenu));
            submenus_.push_back(submenu);
            group = nullptr;
            continue;
        }
        QAction* item = addAction(itemText(row.title));
        item->setCheckable(row.checkable);
        if (row.exclusive) {
            if (!group) {
                group = new QActionGroup(this);
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
            }
            group->addAction(item);
        } else {
            group = nullptr;
        }
        connect(item, &QAction::triggered, this, [this, i] { chosen(i); });
        actions_.push_back(item);
        submenus_.push_back(nullptr);
    }
    update();
}

void LiveMenu::update() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const MenuRow& row = rows_[i];
        if (row.command == MenuRow::Command::separator) {
            continue;
        }
        QAction* item = actions_[i];
        item->setText(itemText(row.title));
        item->setEnabled(row.enabled);
        if (row.checkable) {
            item->setChecked(row.checked);
        }
        if (submenus_[i]) {
            submenus_[i]->setRows(row.submenu);
        }
    }
}

void LiveMenu::chosen(std::size_t index) {
    if (index >= rows_.size() || !onTrigger) {
        return;
    }
    // The handler may change the rows this one lives in.
    const MenuRow row = rows_[index];
    onTrigger(row);
}

} // namespace halvrick
