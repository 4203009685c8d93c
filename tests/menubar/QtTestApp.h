#pragma once

#include <QApplication>

namespace halvrick {

// One application object for the whole test program, on the offscreen platform so no display is needed.
inline void ensureQtApp() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "halvrick_menubar_tests";
    static char* argv[] = {name, nullptr};
    // Kept for the life of the program: widgets in later tests need it.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

} // namespace halvrick
