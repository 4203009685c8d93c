#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

namespace halvrick {

namespace {

struct QtOption {
    const char* name;
    bool takesValue;
};

// The options Qt's application objects take from the command line themselves.
constexpr QtOption qtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"geometry", true},      {"qwindowtitle", true},
    {"title", true},         {"qwindowicon", true},
    {"icon", true},          {"session", true},
    {"display", true},       {"name", true},
    {"visual", true},        {"style", true},
    {"stylesheet", true},    {"reverse", false},
    {"widgetcount", false},  {"sync", false},
    {"nograb", false},       {"dograb", false},
};

const char* const exportsSection = R"(
Exports (without a display, and without starting the tray app):
  --export-artwork [folder]     Writes every face, icon and card as PNG files
                                into the folder, by default "Halvrick Artwork"
                                on the desktop, and exits.
  --export-web-assets [folder]  Writes the twelve web pictures into the
                                folder, by default "Halvrick Web Assets" on
                                the desktop, and exits.
)";

const char* const environmentSection = R"(
Environment:
  HALVRICK_DEBUG                The debug items are always offered (they can
                                write sample data into the ledger).
  HALVRICK_LOG                  One line per sample and event on standard
                                output.
  HALVRICK_PEEK                 A test heads-up 1.5 s after start.
  HALVRICK_REST_MINUTES         The break interval in minutes, overriding the
                                setting.
  HALVRICK_REDUCE_MOTION        Set, neither empty nor 0: as the desktop's
  HALVRICK_INCREASE_CONTRAST    accessibility settings.
)";

QString helpText(const QCommandLineParser& parser, const QString& program) {
    QString text = parser.helpText();
    // Without an application object the parser cannot name the program.
    text.replace(QStringLiteral("<executable_name>"), program);
    return text + QString::fromUtf8(exportsSection) + QString::fromUtf8(environmentSection);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A pea in the tray that sweats when the computer works hard."));
    // Qt's options are written with one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(showVersion);
    for (const QtOption& option : qtOptions) {
        QCommandLineOption accepted(QString::fromLatin1(option.name));
        if (option.takesValue) {
            accepted.setValueName(QStringLiteral("value"));
        }
        accepted.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(accepted);
    }

    const QString program =
        arguments.isEmpty() ? QStringLiteral("halvrick") : QFileInfo(arguments.first()).fileName();
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.answer = Answer::misuse;
        line.text = program + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n');
    } else if (parser.isSet(help)) {
        line.answer = Answer::help;
    } else if (parser.isSet(showVersion)) {
        line.answer = Answer::version;
        line.text = QStringLiteral("Halvrick ") + version + QLatin1Char('\n');
        return line;
    } else if (!parser.positionalArguments().isEmpty()) {
        line.answer = Answer::misuse;
        line.text = program + QStringLiteral(": unexpected argument '") +
                    parser.positionalArguments().first() + QStringLiteral("'.\n");
    } else {
        return line;
    }
    if (line.answer == Answer::misuse) {
        line.text += QLatin1Char('\n');
    }
    line.text += helpText(parser, program);
    return line;
}

} // namespace halvrick
