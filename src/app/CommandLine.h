#pragma once

#include <QString>
#include <QStringList>

namespace halvrick {

// The options of an interactive start. They are answered before any application object, display or
// file exists, so that asking for help or the version never starts the tray app. The export switches
// are read before this (LaunchOptions): with one of them nothing here runs.
struct CommandLine {
    enum class Answer {
        // Nothing asked that ends the start: the tray app runs.
        launch,
        help,
        version,
        // An option or argument the program does not know: the usage goes to standard error.
        misuse,
    };

    // The exit status of a misuse, as for any wrong use of a command.
    static constexpr int misuseStatus = 2;

    Answer answer = Answer::launch;
    // What to print: the help or the version on standard output, the complaint and the usage on
    // standard error; empty for a launch.
    QString text;

    bool ends() const { return answer != Answer::launch; }
    int exitStatus() const { return answer == Answer::misuse ? misuseStatus : 0; }

    // `arguments` are the process's, the program name first. Qt's own options (-platform, -display,
    // -style and the others a Qt program takes) are accepted and left for the application object.
    static CommandLine parse(const QStringList& arguments, const QString& version);
};

} // namespace halvrick
