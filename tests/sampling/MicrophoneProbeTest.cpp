#include "sampling/MicrophoneProbe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace halvrick {
namespace {

struct Tree {
    std::string name;
    bool inUse;
};

class MicrophoneProbeTreeTest : public testing::TestWithParam<Tree> {};

TEST_P(MicrophoneProbeTreeTest, OnlyARunningCaptureStreamCounts) {
    AsoundMicrophoneProbe probe(std::filesystem::path(HALVRICK_TEST_DATA) / "asound" / GetParam().name);
    EXPECT_EQ(probe.isMicrophoneInUse(), GetParam().inUse);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MicrophoneProbeTreeTest,
                         testing::Values(Tree{"running-capture", true}, Tree{"idle-capture", false},
                                         Tree{"playback-running", false}, Tree{"no-cards", false},
                                         Tree{"missing", false}),
                         [](const testing::TestParamInfo<Tree>& info) {
                             std::string name = info.param.name;
                             std::erase(name, '-');
                             return name;
                         });

TEST(MicrophoneProbeTest, UnreadableStatusReadsAsIdle) {
    const std::filesystem::path root = std::filesystem::path(testing::TempDir()) / "asound-unreadable";
    std::filesystem::remove_all(root);
    // A folder where the status file should be.
    std::filesystem::create_directories(root / "card0" / "pcm0c" / "sub0" / "status");
    EXPECT_FALSE(AsoundMicrophoneProbe(root).isMicrophoneInUse());
    std::filesystem::remove_all(root);
}

TEST(MicrophoneProbeTest, RealMachineAnswersWithoutFailing) {
    const bool inUse = AsoundMicrophoneProbe().isMicrophoneInUse();
    if (!std::filesystem::exists("/proc/asound")) {
        EXPECT_FALSE(inUse);
    }
}

} // namespace
} // namespace halvrick
