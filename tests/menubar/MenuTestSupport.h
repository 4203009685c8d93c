#pragma once

#include "ShellTestSupport.h"
#include "menubar/LiveMenu.h"
#include "menubar/MenuRow.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QString>
#include <string>
#include <vector>

namespace halvrick::menutest {

// The titles of the rows in order, "—" for a separator; a submenu's rows follow its title, indented.
inline std::vector<std::string> titles(const std::vector<MenuRow>& rows, const std::string& indent = "") {
    std::vector<std::string> out;
    for (const MenuRow& row : rows) {
        out.push_back(indent + (row.command == MenuRow::Command::separator ? "—" : row.title));
        for (const std::string& inner : titles(row.submenu, indent + "  ")) {
            out.push_back(inner);
        }
    }
    return out;
}

// The first row titled `title`, submenus included; fails the test when there is none.
inline const MenuRow& row(const std::vector<MenuRow>& rows, const std::string& title) {
    static const MenuRow missing;
    for (const MenuRow& r : rows) {
        if (r.title == title) {
            return r;
        }
        for (const MenuRow& inner : r.submenu) {
            if (inner.title == title) {
                return inner;
            }
        }
    }
    ADD_FAILURE() << "no row " << title;
    return missing;
}

// The menu laid out as on screen, written next to the test program for a look.
inline QImage renderMenu(QMenu& menu, const QString& name) {
    menu.ensurePolished();
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    image.save(QCoreApplication::applicationDirPath() + "/" + name);
    return image;
}

// A model over the fake world, as the status item's tests have it.
class MenuTest : public shelltest::ShellTest {
protected:
    // Makes the model again, over the world as it is now (its environment, say).
    void remakeModel() {
        model.reset();
        model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, world.services());
    }
};

} // namespace halvrick::menutest
