#include "sampling/KeptFile.h"

#include "ProcessFixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace halvrick {
namespace {

namespace fs = std::filesystem;

class KeptFileTest : public testing::Test {
protected:
    ~KeptFileTest() override { fs::remove_all(root); }
    fs::path root = fixtures::freshFolder("keptfile");
};

TEST_F(KeptFileTest, ReadsFromTheStartEachTimeAndFollowsAFileThatAppearsLater) {
    KeptFile file((root / "stat").string());
    char buffer[64];
    EXPECT_EQ(file.read(buffer, sizeof buffer), std::nullopt);
    EXPECT_EQ(file.readAll(), std::nullopt);

    fixtures::writeFile(root / "stat", "cpu  10 20 30\ncpu0 1 2 3\n");
    EXPECT_EQ(file.read(buffer, 8), "cpu  10 ");
    EXPECT_EQ(file.readAll(), "cpu  10 20 30\ncpu0 1 2 3\n");
    // Written afresh and shorter, as the kernel's files are.
    fixtures::writeFile(root / "stat", "cpu  1\n");
    EXPECT_EQ(file.read(buffer, sizeof buffer), "cpu  1\n");
    EXPECT_EQ(file.readAll(), "cpu  1\n");
}

TEST_F(KeptFileTest, ReadsAllOfALongFileAndNothingOfAFolder) {
    for (const std::size_t size : {8191u, 8192u, 8193u, 30000u}) {
        std::string text(size, 'x');
        text.back() = '\n';
        fixtures::writeFile(root / "long", text);
        EXPECT_EQ(KeptFile((root / "long").string()).readAll(), text) << size;
    }
    fixtures::writeFile(root / "empty", "");
    EXPECT_EQ(KeptFile((root / "empty").string()).readAll(), "");
    fs::create_directories(root / "folder");
    EXPECT_EQ(KeptFile((root / "folder").string()).readAll(), std::nullopt);
}

TEST_F(KeptFileTest, AMovedFileKeepsItsDescriptor) {
    fixtures::writeFile(root / "a", "first\n");
    KeptFile a((root / "a").string());
    EXPECT_EQ(a.readAll(), "first\n");
    KeptFile b = std::move(a);
    fixtures::writeFile(root / "a", "second\n");
    EXPECT_EQ(b.readAll(), "second\n");
    EXPECT_EQ(b.path(), (root / "a").string());
}

} // namespace
} // namespace halvrick
