#include "sampling/AppIcons.h"

#include "ProcessFixtures.h"
#include "QtTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace halvrick {
namespace {

const std::string iconData = std::string(HALVRICK_TEST_DATA) + "/icons";
const QRgb blue = qRgb(0x30, 0x50, 0xd0); // files/fixture-absolute.png
const QRgb red = qRgb(0xd0, 0x30, 0x30);  // the test theme's fixture-app
const QRgb grey = qRgb(0x70, 0x70, 0x70); // hicolor's computer

class AppIconsTest : public testing::Test {
protected:
    void SetUp() override {
        testApplication();
        const std::pair<const char*, std::string> entries[] = {
            {"Absolute", iconData + "/files/fixture-absolute.png"},
            {"Themed", "fixture-app"},
            {"Suffixed", "fixture-app.png"},
            {"Missing", "no-such-icon"},
            {"Broken", iconData + "/files/not-an-image.png"},
            {"Device", "/dev/zero"},
            {"Folder", iconData + "/files"},
            {"Relative", "../files/fixture-absolute.png"},
            {"Bare", ""},
        };
        for (const auto& [name, icon] : entries) {
            const std::string program = QString::fromUtf8(name).toLower().toStdString();
            tree.program("/usr/bin/" + program);
            tree.entry("system", program + ".desktop",
                       std::string("Name=") + name + "\nExec=" + program +
                           (icon.empty() ? "" : "\nIcon=" + icon) + "\n");
        }
        index = std::make_shared<ApplicationIndex>(ApplicationIndex::build(tree.roots()));
    }
    void TearDown() override { fixtures::fs::remove_all(root); }

    AppKey app(const std::string& file, const std::string& name) const {
        return AppKey(AppKey::Kind::app, tree.entryPath("system", file), name);
    }

    AppIcons makeIcons() {
        return AppIcons(
            [this] { return index; },
            AppIcons::Theme{{QString::fromStdString(iconData + "/theme")}, QStringLiteral("halvrick-test")});
    }

    static QRgb centre(const QImage& image) { return image.pixel(image.width() / 2, image.height() / 2); }
    // A point inside a painted icon's square, clear of its letter.
    static QRgb paintedGround(const QImage& image) {
        return image.pixel(image.width() / 2, image.height() / 10);
    }

    fixtures::fs::path root = fixtures::freshFolder("icons");
    fixtures::AppTree tree{root};
    std::shared_ptr<const ApplicationIndex> index;
};

TEST_F(AppIconsTest, IconsComeFromAnImageFileOrTheTheme) {
    AppIcons icons = makeIcons();
    const struct {
        const char* file;
        QRgb colour;
    } cases[] = {
        {"absolute.desktop", blue},
        {"themed.desktop", red},
        {"suffixed.desktop", red},
    };
    for (const auto& c : cases) {
        for (const int size : {16, 32, 64}) {
            const QImage image = AppIcons::render(icons.icon(app(c.file, "Name")), size);
            ASSERT_EQ(image.size(), QSize(size, size)) << c.file;
            EXPECT_EQ(centre(image), c.colour) << c.file << " at " << size;
        }
    }
    EXPECT_EQ(centre(AppIcons::render(icons.icon(AppKey::system()), 32)), grey)
        << "computer, from the parent theme";
}

TEST_F(AppIconsTest, KeysWithoutAnIconOfTheirOwnGetAPaintedOne) {
    AppIcons icons = makeIcons();
    const struct {
        AppKey key;
        const char* why;
    } cases[] = {
        {app("missing.desktop", "Missing"), "no such theme icon"},
        {app("broken.desktop", "Broken"), "the file is no image"},
        {app("device.desktop", "Device"), "a device, never read"},
        {app("folder.desktop", "Folder"), "a folder"},
        {app("relative.desktop", "Relative"), "a relative path"},
        {app("bare.desktop", "Bare"), "no Icon at all"},
        {AppKey(AppKey::Kind::process, "kworker", "kworker"), "the theme has no executable icon"},
    };
    for (const auto& c : cases) {
        const QIcon icon = icons.icon(c.key);
        ASSERT_FALSE(icon.isNull()) << c.why;
        const QImage image = AppIcons::render(icon, 48);
        EXPECT_EQ(paintedGround(image), AppIcons::colourFor(c.key.displayName).rgb()) << c.why;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << c.why << ": rounded corners";
    }
}

TEST_F(AppIconsTest, PaintedColoursAreStablePerName) {
    EXPECT_EQ(AppIcons::colourFor("Firefox"), AppIcons::colourFor(std::string("Fire") + "fox"));
    EXPECT_NE(AppIcons::colourFor("Firefox"), AppIcons::colourFor("Thunderbird"));
    EXPECT_NE(AppIcons::colourFor("Firefox"), AppIcons::colourFor("firefox"));
    // Any name draws, the empty one and one without a letter included.
    for (const char* name : {"", "!!", "\xC3\xA9lan", "\xF0\x9F\x8D\x95 Pizza", "\xFF\xFE"}) {
        const QImage image = AppIcons::render(AppIcons::paintedIcon(name), 24);
        EXPECT_EQ(paintedGround(image), AppIcons::colourFor(name).rgb()) << name;
    }
}

TEST_F(AppIconsTest, OneCacheEntryPerIdWhateverTheKind) {
    AppIcons icons = makeIcons();
    const AppKey themed = app("themed.desktop", "Themed");
    const QIcon first = icons.icon(themed);
    EXPECT_EQ(icons.icon(themed).cacheKey(), first.cacheKey());
    EXPECT_EQ(icons.icon(AppKey(AppKey::Kind::process, themed.id, "other")).cacheKey(), first.cacheKey());
    // Once cached, the entry stays even when the index no longer has the application.
    index = std::make_shared<ApplicationIndex>();
    EXPECT_EQ(icons.icon(themed).cacheKey(), first.cacheKey());
}

TEST_F(AppIconsTest, AnApplicationTheIndexDoesNotKnowYetGetsItsIconLater) {
    const std::shared_ptr<const ApplicationIndex> built = index;
    index = std::make_shared<ApplicationIndex>();
    AppIcons icons = makeIcons();
    const AppKey absolute = app("absolute.desktop", "Absolute");
    EXPECT_EQ(paintedGround(AppIcons::render(icons.icon(absolute), 32)),
              AppIcons::colourFor("Absolute").rgb());
    index = built;
    EXPECT_EQ(centre(AppIcons::render(icons.icon(absolute), 32)), blue);
}

TEST_F(AppIconsTest, RenderingNeedsAPositiveSize) {
    const QIcon icon = AppIcons::paintedIcon("Name");
    EXPECT_TRUE(AppIcons::render(icon, 0).isNull());
    EXPECT_TRUE(AppIcons::render(icon, -5).isNull());
    EXPECT_EQ(AppIcons::render(icon, 1).size(), QSize(1, 1));
}

} // namespace
} // namespace halvrick
