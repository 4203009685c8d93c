#include "AppModelFakes.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;
using testing::DoubleEq;
using testing::ElementsAre;
using testing::IsEmpty;

class AppModelIngestTest : public ModelTest {
protected:
    AppModelIngestTest() { make(); }

    // A listing in which process i used shares[i] of the whole machine since the previous one.
    // Shares times 8 are exact, so the threshold of 0.003 is met exactly.
    void list(const std::vector<double>& shares) {
        for (std::size_t i = 0; i < shares.size(); ++i) {
            cpu[static_cast<std::int32_t>(i + 1)] += shares[i] * 2 * world.coreCount;
        }
        std::vector<PSRow> rows;
        for (const auto& [pid, seconds] : cpu) {
            rows.push_back({pid, seconds, "/usr/lib/part" + std::to_string(pid)});
        }
        world.advance(2);
        model->ingestBreakdown({rows, world.now, 0.05});
    }

    std::vector<double> shownShares() const {
        std::vector<double> shares;
        for (const SystemPart& part : model->systemParts()) {
            shares.push_back(part.share);
        }
        return shares;
    }

    std::map<std::int32_t, double> cpu;
};

TEST_F(AppModelIngestTest, ListsApplicationMemoryLargestFirstWithoutTheSystem) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.footprints = {
        {app("Zed"), 300}, {app("Editor"), 300}, {app("Browser"), 900}, {AppKey::system(), 5000}};
    model->ingestProcesses(sample);
    std::vector<std::string> names;
    for (const AppMemory& entry : model->memoryApps()) {
        names.push_back(entry.name);
    }
    EXPECT_THAT(names, ElementsAre("Browser", "Editor", "Zed"));
    EXPECT_EQ(model->memoryApps()[0].id, app("Browser").id);
    EXPECT_EQ(model->memoryApps()[0].bytes, 900U);
}

TEST_F(AppModelIngestTest, OwnShareIsThisProcessAgainstEveryCore) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.ownCPUSeconds = 0.16;
    model->ingestProcesses(sample);
    EXPECT_DOUBLE_EQ(model->ownShare(), 0.02);

    // The listing's own cost is already inside that figure and is not added a second time.
    list({});
    list({0.5});
    sample.ownCPUSeconds = 0.08;
    model->ingestProcesses(sample);
    EXPECT_DOUBLE_EQ(model->ownShare(), 0.01);
}

TEST_F(AppModelIngestTest, PublishesAtMostThreeSystemPartsOfAtLeastThreeThousandths) {
    list({0, 0, 0, 0, 0});
    EXPECT_THAT(model->systemParts(), IsEmpty());

    list({0.5, 0.2, 0.1, 0.003, 0.0029});
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.5), DoubleEq(0.2), DoubleEq(0.1)));
    EXPECT_EQ(model->systemParts()[0].name, "part1");

    list({0.5, 0, 0, 0.003, 0.0029});
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.5), DoubleEq(0.003)));

    list({0.001, 0, 0, 0, 0.0029});
    EXPECT_THAT(model->systemParts(), IsEmpty());
}

TEST_F(AppModelIngestTest, AListingThatYieldsNothingKeepsThePreviousParts) {
    list({0.4});
    list({0.4});
    ASSERT_THAT(shownShares(), ElementsAre(0.4));
    // No time passed since the previous listing.
    std::vector<PSRow> rows{{1, cpu[1] + 1, "/usr/lib/part1"}};
    model->ingestBreakdown({rows, world.now, 0});
    EXPECT_THAT(shownShares(), ElementsAre(0.4));
}

TEST_F(AppModelIngestTest, ProcessesAlreadyCreditedToApplicationsAreLeftOutOfTheSystemParts) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.attributedPIDs = {42};
    model->ingestProcesses(sample);
    cpu[42] = 0;
    list({0});
    cpu[42] = 4;
    list({0.25});
    ASSERT_EQ(model->systemParts().size(), 1U);
    EXPECT_EQ(model->systemParts()[0].name, "part1");
}

} // namespace
} // namespace halvrick
