// Writes the application icon's hicolor theme files into the folder given, for `cmake --install`.

#include "artwork/IconTheme.h"

#include <QGuiApplication>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: halvrick-icon-theme <folder>" << std::endl;
        return 2;
    }
    // Drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    try {
        halvrick::IconTheme::write(QString::fromLocal8Bit(argv[1]));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Icon theme export failed: " << error.what() << std::endl;
        return 1;
    }
}
