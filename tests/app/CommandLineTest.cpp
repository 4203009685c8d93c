#include "../model/AppModelFakes.h"
#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::throwawayEnvironment;

// Every file and folder under `folder`, hidden ones too.
QStringList everythingUnder(const QString& folder) {
    QStringList found;
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System)) {
        found << entry.fileName();
        if (entry.isDir()) {
            for (const QString& inner : everythingUnder(entry.filePath())) {
                found << entry.fileName() + '/' + inner;
            }
        }
    }
    return found;
}

// The variables the README's Environment section names.
QSet<QString> documentedVariables() {
    QFile readme(QStringLiteral(HALVRICK_README));
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("\n## Environment"));
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    EXPECT_GE(start, 0);
    QSet<QString> names;
    const QRegularExpression variable(QStringLiteral("HALVRICK_[A-Z_]+"));
    for (const auto& match : variable.globalMatch(text.mid(start, end - start))) {
        names.insert(match.captured());
    }
    return names;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::testApplication();
        ASSERT_TRUE(home.isValid() && runtime.isValid() && work.isValid());
        ASSERT_TRUE(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    ProgramRun run(const QStringList& arguments) {
        return runProgram(arguments, throwawayEnvironment(home.path(), runtime.path()), work.path());
    }

    void expectNothingWritten(const QStringList& arguments) {
        for (const QTemporaryDir* folder : {&home, &runtime, &work}) {
            EXPECT_EQ(everythingUnder(folder->path()), QStringList()) << arguments.join(' ').toStdString();
        }
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    QTemporaryDir work;
};

// Answered with no display at all, before the single-instance lock, the ledgers, the defaults or the
// first run: the folders the tray app would write into stay empty.
TEST_F(CommandLineTest, HelpVersionAndMisuseAreAnsweredWithoutADisplayAndWriteNothing) {
    const QString version = QStringLiteral("Halvrick " HALVRICK_VERSION "\n");
    struct Case {
        QStringList arguments;
        int exitCode;
        // What standard output or standard error begins with; the other one stays empty.
        QString output;
        QString errors;
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: halvrick [options]\n", {}},
        {{"-h"}, 0, "Usage: halvrick [options]\n", {}},
        {{"--version"}, 0, version, {}},
        {{"-v"}, 0, version, {}},
        // Qt's own options are left to the application object, with their values.
        {{"-platform", "xcb", "--version"}, 0, version, {}},
        {{"--style=fusion", "-reverse", "-h"}, 0, "Usage: halvrick [options]\n", {}},
        {{"--bogus"}, 2, {}, "halvrick: Unknown option 'bogus'.\n\nUsage: halvrick [options]\n"},
        {{"-x"}, 2, {}, "halvrick: Unknown option 'x'.\n\nUsage: halvrick [options]\n"},
        {{"--help", "--bogus"}, 2, {}, "halvrick: Unknown option 'bogus'.\n"},
        {{"--version=2"}, 2, {}, "halvrick: Unexpected value after '--version'.\n"},
        {{"stray"}, 2, {}, "halvrick: unexpected argument 'stray'.\n\nUsage: halvrick [options]\n"},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        const ProgramRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << label;
        if (c.output.isEmpty()) {
            EXPECT_EQ(result.output, QString()) << label;
        } else {
            EXPECT_TRUE(result.output.startsWith(c.output)) << label << ": " << result.output.toStdString();
        }
        if (c.errors.isEmpty()) {
            EXPECT_EQ(result.errors, QString()) << label;
        } else {
            EXPECT_TRUE(result.errors.startsWith(c.errors)) << label << ": " << result.errors.toStdString();
        }
        if (c.output == version) {
            EXPECT_EQ(result.output, version) << label;
        }
        expectNothingWritten(c.arguments);
    }
}

TEST_F(CommandLineTest, HelpNamesTheExportSwitchesAndEveryVariableTheReadmeLists) {
    const ProgramRun result = run({"--help"});
    ASSERT_EQ(result.exitCode, 0);
    for (const QString& line : {QStringLiteral("  -h, --help "), QStringLiteral("  -v, --version "),
                                QStringLiteral("  --export-artwork [folder] "),
                                QStringLiteral("  --export-web-assets [folder] ")}) {
        EXPECT_TRUE(result.output.contains(line)) << line.toStdString();
    }
    const QSet<QString> variables = documentedVariables();
    EXPECT_GE(variables.size(), 6);
    for (const QString& variable : variables) {
        EXPECT_TRUE(result.output.contains(QStringLiteral("\n  ") + variable + ' '))
            << variable.toStdString() << " is not explained";
    }
    EXPECT_FALSE(result.output.contains(QStringLiteral("-platform"))) << "Qt's options stay out of the help";
}

} // namespace
} // namespace halvrick
