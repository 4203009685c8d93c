#include "menubar/ModelBubbleInputs.h"

#include "ShellTestSupport.h"

namespace halvrick::shelltest {
namespace {

using ModelBubbleInputsTest = ShellTest;

// Each input is read from the model when the router asks, never remembered.
TEST_F(ModelBubbleInputsTest, ReadTheModelAsItIsNow) {
    const ModelBubbleInputs inputs(*model);
    EXPECT_FALSE(inputs.isCoolDownRunning());
    EXPECT_FALSE(inputs.hasActiveReminder());
    EXPECT_EQ(inputs.restPhase(), RestPhase::idle);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_EQ(inputs.restPhase(), RestPhase::prompting);

    model->updateDisplayOptions(true, false);
    EXPECT_TRUE(inputs.reduceMotion());
    EXPECT_FALSE(inputs.increaseContrast());
    model->updateDisplayOptions(false, true);
    EXPECT_FALSE(inputs.reduceMotion());
    EXPECT_TRUE(inputs.increaseContrast());

    for (const bool enabled : {false, true}) {
        settings->setNotchPeekEnabled(enabled);
        EXPECT_EQ(inputs.notchPeekEnabled(), enabled);
    }

    model->startCoolDown();
    EXPECT_TRUE(inputs.isCoolDownRunning());
    model->stopCoolDown();
    EXPECT_FALSE(inputs.isCoolDownRunning());

    reminderDue();
    EXPECT_TRUE(inputs.hasActiveReminder());
}

} // namespace
} // namespace halvrick::shelltest
