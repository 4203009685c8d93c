#include "sampling/DesktopEntry.h"

#include "ProcessFixtures.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace halvrick {
namespace {

using Command = DesktopEntry::Command;

class DesktopEntryFileTest : public testing::Test {
protected:
    void TearDown() override { fixtures::fs::remove_all(folder); }

    std::optional<DesktopEntry> read(const std::string& text) {
        const auto file = folder / "entry.desktop";
        std::ofstream(file, std::ios::binary) << text;
        return DesktopEntry::read(file);
    }

    fixtures::fs::path folder = fixtures::freshFolder("entry");
};

TEST_F(DesktopEntryFileTest, ReadsTheMainGroupsUnlocalisedKeys) {
    const auto entry = read("# comment\r\n"
                            "[Desktop Action new]\nName=Action\n"
                            "[Desktop Entry]\r\n"
                            "Name[de]=Lokal\nName = Plain \r\nName=Second\n"
                            "Comment=a\\sb\\nc\\td\\\\e\\qf\\\n"
                            "Exec=\"a b\" \\\"c\\\"\n"
                            "NoDisplay=true\nHidden=True\n"
                            "[Other]\nIcon=elsewhere\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->value("Name"), "Plain ");
    EXPECT_EQ(entry->value("Comment"), "a b\nc\td\\e\\qf\\");
    // Only string escapes are undone: the Exec quoting keeps its own.
    EXPECT_EQ(entry->value("Exec"), "\"a b\" \\\"c\\\"");
    EXPECT_EQ(entry->value("Icon"), "");
    EXPECT_TRUE(entry->flag("NoDisplay"));
    EXPECT_FALSE(entry->flag("Hidden"));
    EXPECT_FALSE(entry->flag("Terminal"));
}

TEST_F(DesktopEntryFileTest, NothingWithoutTheMainGroupOrFromAnOversizedOrMissingFile) {
    EXPECT_FALSE(read("[Desktop Action new]\nName=Action\n"));
    EXPECT_FALSE(read(""));
    EXPECT_TRUE(read("[Desktop Entry]\n"));
    EXPECT_FALSE(read("[Desktop Entry]\nName=Big\n#" + std::string(300 * 1024, 'x') + "\n"));
    EXPECT_FALSE(DesktopEntry::read(folder / "missing.desktop"));
}

TEST(DesktopEntryTest, TakesExecLinesApart) {
    const struct {
        const char* exec;
        std::optional<Command> expected;
    } cases[] = {
        {"gedit %U", Command{"gedit", {}}},
        {"  gedit   --new-window  ", Command{"gedit", {"--new-window"}}},
        {"env FOO=1 BAR_2=x /usr/bin/foo --x %f", Command{"/usr/bin/foo", {"--x"}}},
        {"FOO=1 foo", Command{"foo", {}}},
        {"/usr/bin/env -u DISPLAY -i -- prog", Command{"prog", {}}},
        {"env -S \"A=1 prog x\" y", Command{"prog", {"x", "y"}}},
        {"\"/opt/My App/bin/app\" --arg=\"a b\"", Command{"/opt/My App/bin/app", {"--arg=a b"}}},
        {"\"a\\\"b\" \"c\\\\d\"", Command{"a\"b", {"c\\d"}}},
        {"foo --name=%c 100%%", Command{"foo", {"--name=", "100%"}}},
        {"/usr/bin/flatpak run --branch=stable org.example.Paint @@u %U @@",
         Command{"/usr/bin/flatpak", {"run", "--branch=stable", "org.example.Paint"}}},
        {"\"unterminated", std::nullopt},
        {"", std::nullopt},
        {"%U", std::nullopt},
        {"env A=1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopEntry::command(c.exec), c.expected) << c.exec;
    }
}

} // namespace
} // namespace halvrick
