#include "menubar/RestPromptView.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"

namespace halvrick::cardtest {
namespace {

class RestPromptViewTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        prompt();
    }

    // A new model and card, with the pea asking for a break.
    void prompt() {
        view.reset();
        model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, world.services());
        tick();
        model->handleRestEvents(model->coach().promptNow(), true);
        ASSERT_EQ(model->restPhase(), RestPhase::prompting);
        view = std::make_unique<RestPromptView>(*model);
        showOffscreen(*view);
    }

    std::unique_ptr<RestPromptView> view;
};

TEST_F(RestPromptViewTest, EachAnswerGoesToTheCoach) {
    struct Case {
        const char* name;
        std::function<void(RestPromptView&)> answer;
        RestPhase phase;
        std::optional<std::string> spoken;
        bool coolingDown;
    };
    const std::vector<Case> cases{
        {"not now", [](RestPromptView& v) { v.notNowButton().click(); }, RestPhase::active,
         "Okay. I'll ask again later.", false},
        {"snooze", [](RestPromptView& v) { v.snoozeButton().click(); }, RestPhase::snoozed,
         "Fine. 15 more minutes. I'm counting.", false},
        {"rest", [](RestPromptView& v) { v.restButton().click(); }, RestPhase::resting, std::nullopt, false},
        // Return is the rest button's, wherever the focus is in the card.
        {"Return", [](RestPromptView& v) { pressReturn(v.snoozeButton()); }, RestPhase::resting, std::nullopt,
         false},
        // The cool-down answers the prompt itself, without a word about it.
        {"breathe", [](RestPromptView& v) { v.breatheButton().click(); }, RestPhase::active, std::nullopt,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt();
        c.answer(*view);
        EXPECT_EQ(model->restPhase(), c.phase);
        EXPECT_EQ(model->headsUpMessage(), c.spoken);
        EXPECT_EQ(model->coolDown().has_value(), c.coolingDown);
    }
}

TEST_F(RestPromptViewTest, TheRequestAndTheTiredPeaFollowTheModel) {
    EXPECT_EQ(view->requestLabel().text().toStdString(),
              Copy::restPrompt(model->coach().config().restInterval, Personality::mild));
    EXPECT_EQ(view->pea().face(), face(FaceState::tired, HeatState::chill));

    settings->setPersonality(Personality::gremlin);
    model->setForcedState(HeatState::meltdown);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->requestLabel().text().toStdString(),
              Copy::restPrompt(model->coach().config().restInterval, Personality::gremlin));
    EXPECT_EQ(view->pea().face(), face(FaceState::tired, HeatState::meltdown));
}

TEST_F(RestPromptViewTest, ThePeaMovesWhenTheBubbleShowsItAndStopsForReduceMotion) {
    ASSERT_FALSE(model->isPopoverOpen());
    EXPECT_TRUE(view->pea().isAnimating());
    model->updateDisplayOptions(true, true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->pea().isAnimating());
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, true}));
}

TEST_F(RestPromptViewTest, FitsTheBubbleAndThePopover) {
    settings->setPersonality(Personality::dramatic);
    struct Case {
        const char* file;
        int width;
    };
    for (const Case c :
         {Case{"card-rest-prompt-bubble.png", 320}, Case{"card-rest-prompt-popover.png", 340}}) {
        SCOPED_TRACE(c.file);
        auto* card = new RestPromptView(*model);
        CardHost host(card, 16, c.width);
        host.save(QString::fromUtf8(c.file));
        expectFits(card->requestLabel());
        EXPECT_GE(card->notNowButton().x(), 0);
        EXPECT_LT(card->notNowButton().geometry().right(), card->snoozeButton().x());
        EXPECT_LT(card->snoozeButton().geometry().right(), card->restButton().x());
        EXPECT_LE(card->restButton().geometry().right(), card->width());
        for (const QPushButton* button :
             {&card->notNowButton(), &card->snoozeButton(), &card->restButton(), &card->breatheButton()}) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
    }
}

} // namespace
} // namespace halvrick::cardtest
