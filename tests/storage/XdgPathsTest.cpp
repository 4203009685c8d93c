#include "storage/XdgPaths.h"

#include "ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <pwd.h>
#include <unistd.h>

namespace halvrick {
namespace {

using Variables = std::map<std::string, std::string>;

XdgPaths::Lookup lookupIn(const Variables& variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    };
}

QString accountHome() {
    const passwd* user = ::getpwuid(::getuid());
    return user ? QString::fromLocal8Bit(user->pw_dir) : QString();
}

// Relative values would move the user's data with the working folder: the XDG rules say to ignore them.
TEST(XdgPathsTest, RelativeOrEmptyFoldersAreIgnored) {
    struct Case {
        Variables variables;
        QString config;
        QString data;
    };
    const std::vector<Case> cases{
        {{{"HOME", "/home/ada"}}, "/home/ada/.config", "/home/ada/.local/share"},
        {{{"HOME", "/home/ada/"}, {"XDG_CONFIG_HOME", "/cfg/"}, {"XDG_DATA_HOME", "/data"}}, "/cfg", "/data"},
        {{{"HOME", "/home/ada"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_DATA_HOME", "./data"}},
         "/home/ada/.config",
         "/home/ada/.local/share"},
        {{{"HOME", "/home/ada"}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", ""}},
         "/home/ada/.config",
         "/home/ada/.local/share"},
    };
    for (const Case& c : cases) {
        const auto lookup = lookupIn(c.variables);
        EXPECT_EQ(XdgPaths::configHome(lookup), c.config);
        EXPECT_EQ(XdgPaths::dataHome(lookup), c.data);
    }
}

// Without HOME the account's home comes from the password database, never "/" or the working folder.
TEST(XdgPathsTest, AnUnsetOrRelativeHomeIsTheAccountsHome) {
    const QString home = accountHome();
    ASSERT_TRUE(home.startsWith('/'));
    for (const Variables& variables : {Variables{}, Variables{{"HOME", ""}}, Variables{{"HOME", "ada"}}}) {
        const auto lookup = lookupIn(variables);
        EXPECT_EQ(XdgPaths::home(lookup), home);
        EXPECT_EQ(XdgPaths::dataHome(lookup), home == "/" ? "/.local/share" : home + "/.local/share");
    }
}

// Qt and the samplers read HOME themselves: once settled, an unset or relative HOME is the account's.
TEST(XdgPathsTest, SettlingHomeGivesQtTheAccountsHome) {
    const QString home = accountHome();
    ASSERT_TRUE(home.startsWith('/'));
    for (const std::optional<QByteArray>& value : {std::optional<QByteArray>(), std::optional<QByteArray>(""),
                                                   std::optional<QByteArray>("ada")}) {
        const testing_support::ScopedEnvironment env{{"HOME", value}};
        XdgPaths::settleHome();
        EXPECT_EQ(qgetenv("HOME"), QFile::encodeName(home));
        EXPECT_EQ(QDir::homePath(), home);
    }
    const testing_support::ScopedEnvironment env{{"HOME", QByteArray("/home/ada")}};
    XdgPaths::settleHome();
    EXPECT_EQ(qgetenv("HOME"), "/home/ada") << "a HOME the user set stays";
}

} // namespace
} // namespace halvrick
