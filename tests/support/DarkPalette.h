#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace halvrick {

// A dark palette for windows looked at in screenshots. Built from its button and window colours, so the
// bevel shades are dark too.
inline QPalette darkPalette() {
    QPalette palette(QColor(60, 60, 60), QColor(40, 40, 40));
    palette.setColor(QPalette::Window, QColor(40, 40, 40));
    palette.setColor(QPalette::WindowText, QColor(235, 235, 235));
    palette.setColor(QPalette::Base, QColor(30, 30, 30));
    palette.setColor(QPalette::AlternateBase, QColor(48, 48, 48));
    palette.setColor(QPalette::Text, QColor(235, 235, 235));
    palette.setColor(QPalette::Button, QColor(60, 60, 60));
    palette.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    palette.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    palette.setColor(QPalette::ToolTipText, QColor(235, 235, 235));
    return palette;
}

// The dark palette for a test's windows, set before they are built; the default again after.
class DarkPalette {
public:
    DarkPalette() { QApplication::setPalette(darkPalette()); }
    ~DarkPalette() { QApplication::setPalette(QPalette()); }
    DarkPalette(const DarkPalette&) = delete;
    DarkPalette& operator=(const DarkPalette&) = delete;
};

} // namespace halvrick
