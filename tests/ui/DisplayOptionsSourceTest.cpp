#include "ui/DisplayOptionsSource.h"

#include <QDBusVariant>
#include <QStringList>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace halvrick {
namespace {

QDBusVariant value(const QVariant& v) {
    return QDBusVariant(v);
}

struct Setting {
    const char* group;
    const char* key;
    QVariant value;
};

TEST(DisplayOptionsSourceTest, EnvironmentAndDesktopSettingsEachTurnOptionsOn) {
    struct Case {
        const char* name;
        SystemDisplayOptions::Environment environment;
        std::vector<Setting> settings;
        DisplayOptions expected;
    };
    const std::vector<Case> cases{
        {"nothing set", {}, {}, {false, false}},
        {"environment only", {true, true}, {}, {true, true}},
        {"GNOME animations off",
         {},
         {{"org.gnome.desktop.interface", "enable-animations", false}},
         {true, false}},
        {"GNOME animations on",
         {},
         {{"org.gnome.desktop.interface", "enable-animations", true}},
         {false, false}},
        {"GNOME high contrast",
         {},
         {{"org.gnome.desktop.a11y.interface", "high-contrast", true}},
         {false, true}},
        {"KDE animations stopped, as text",
         {},
         {{"org.kde.kdeglobals.KDE", "AnimationDurationFactor", "0"}},
         {true, false}},
        {"KDE animations slowed",
         {},
         {{"org.kde.kdeglobals.KDE", "AnimationDurationFactor", 0.5}},
         {false, false}},
        {"portal contrast preference", {}, {{"org.freedesktop.appearance", "contrast", 1U}}, {false, true}},
        {"the desktop cannot turn off what the environment turned on",
         {true, false},
         {{"org.gnome.desktop.interface", "enable-animations", true}},
         {true, false}},
        {"the last value of a setting counts",
         {},
         {{"org.gnome.desktop.interface", "enable-animations", false},
          {"org.gnome.desktop.interface", "enable-animations", true}},
         {false, false}},
        {"unrelated settings and unreadable values are ignored",
         {},
         {{"org.gnome.desktop.interface", "gtk-theme", false},
          {"org.kde.kdeglobals.KDE", "AnimationDurationFactor", "fast"},
          {"org.freedesktop.appearance", "contrast", "more"}},
         {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SystemDisplayOptions options(c.environment, std::nullopt);
        for (const Setting& s : c.settings) {
            options.settingChanged(QString::fromLatin1(s.group), QString::fromLatin1(s.key), value(s.value));
        }
        EXPECT_EQ(options.current(), c.expected);
    }
}

TEST(DisplayOptionsSourceTest, ChangeIsReportedOnlyWhenTheOptionsChange) {
    SystemDisplayOptions options({}, std::nullopt);
    int changes = 0;
    options.onChange = [&] { ++changes; };
    const QString group = QStringLiteral("org.gnome.desktop.interface");
    const QString key = QStringLiteral("enable-animations");
    options.settingChanged(group, key, value(true));
    EXPECT_EQ(changes, 0) << "animations on is what was assumed";
    // Some portals wrap the value in one more variant.
    options.settingChanged(group, key, value(QVariant::fromValue(QDBusVariant(false))));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(options.current().reduceMotion);
    options.settingChanged(group, key, value(false));
    EXPECT_EQ(changes, 1);
}

TEST(DisplayOptionsSourceTest, EnvironmentVariableCountsUnlessEmptyOrZero) {
    const QByteArray name = "HALVRICK_REDUCE_MOTION";
    const std::optional<QByteArray> saved =
        qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    struct Case {
        std::optional<QByteArray> value;
        bool counts;
    };
    for (const Case& c :
         {Case{std::nullopt, false}, Case{"", false}, Case{"0", false}, Case{"1", true}, Case{"yes", true}}) {
        SCOPED_TRACE(c.value.value_or("(unset)").toStdString());
        if (c.value) {
            qputenv(name, *c.value);
        } else {
            qunsetenv(name);
        }
        EXPECT_EQ(SystemDisplayOptions::Environment::process().reduceMotion, c.counts);
    }
    if (saved) {
        qputenv(name, *saved);
    } else {
        qunsetenv(name);
    }
}

} // namespace
} // namespace halvrick
