#include "menubar/NapView.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"
#include "ui/RingDial.h"

#include <cmath>
#include <limits>

namespace halvrick::cardtest {
namespace {

class NapViewTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        tick();
        model->handleRestEvents(model->coach().promptNow(), true);
        model->handleRestEvents(model->coach().acceptRest(), true);
        ASSERT_EQ(model->restPhase(), RestPhase::resting);
        auto recording = std::make_shared<RecordingAnnouncer>();
        announcer = recording.get();
        view = std::make_unique<NapView>(*model, nullptr, recording);
        showOffscreen(*view);
    }

    // Hands off the keyboard for `seconds`.
    void rest(int seconds) {
        world.typing = false;
        for (int i = 0; i < seconds; ++i) {
            tick();
        }
        QCoreApplication::processEvents();
    }

    RecordingAnnouncer* announcer = nullptr;
    std::unique_ptr<NapView> view;
};

TEST_F(NapViewTest, TheDialFillsAsTheRestRunsDownAndNeverRunsBackwards) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::optional<double> remaining;
        double required;
        double progress;
    };
    for (const Case c : {Case{"no remaining time", std::nullopt, 120, 0}, Case{"just started", 120, 120, 0},
                         Case{"half way", 30, 60, 0.5}, Case{"nothing left", 0, 120, 1},
                         Case{"more left than needed", 200, 120, 0}, Case{"overdone", -5, 120, 1},
                         Case{"not a number", nan, 120, 0}, Case{"nothing required", 0, 0, 0}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NapView::progress(c.remaining, c.required), c.progress);
    }
}

TEST_F(NapViewTest, TheCountdownRoundsUpAndEndsInAlmostThere) {
    struct Case {
        std::optional<double> remaining;
        const char* text;
    };
    for (const Case c : {Case{120, "2:00 to go. Step away from the keyboard."},
                         Case{61.2, "1:02 to go. Step away from the keyboard."},
                         Case{0.1, "0:01 to go. Step away from the keyboard."}, Case{0, "Almost there…"},
                         Case{std::nullopt, "Almost there…"}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NapView::countdownText(c.remaining), QString::fromUtf8(c.text));
    }
}

TEST_F(NapViewTest, FollowsTheBreakInPlace) {
    EXPECT_EQ(view->dial().progress(), 0);
    EXPECT_EQ(view->countdownLabel().text(), QStringLiteral("2:00 to go. Step away from the keyboard."));
    EXPECT_EQ(view->dial().pea().face(), model->styled(face(FaceState::napping, HeatState::chill)));
    const RingDial* dial = &view->dial();

    rest(45);
    EXPECT_NEAR(view->dial().progress(), 45.0 / 120, 1e-9);
    EXPECT_EQ(view->countdownLabel().text(), QStringLiteral("1:15 to go. Step away from the keyboard."));
    EXPECT_EQ(&view->dial(), dial);
}

TEST_F(NapViewTest, ThePeaDozesOnlyInTheOpenPopoverWithoutReduceMotion) {
    EXPECT_FALSE(view->dial().pea().isAnimating()) << "popover closed";
    model->popoverWillOpen(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->dial().pea().isAnimating());
    model->updateDisplayOptions(true, true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->dial().pea().isAnimating());
    EXPECT_EQ(view->dial().pea().style(), (PeaStyle{false, true}));
}

TEST_F(NapViewTest, EndBreakCancelsQuietlyAndAnnouncesOnlyABreakItEnded) {
    view->endButton().click();
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_EQ(model->headsUpMessage(), std::nullopt) << "no dismissal line";
    ASSERT_EQ(announcer->said, std::vector<QString>{QStringLiteral("Break ended.")});

    // The card is still up for a moment after the break ended: nothing left to end.
    view->endButton().click();
    EXPECT_EQ(model->restPhase(), RestPhase::idle);
    EXPECT_EQ(announcer->said.size(), 1U);
}

TEST_F(NapViewTest, InThePopover) {
    rest(61);
    auto* card = new NapView(*model);
    CardHost header(card, 16, 340);
    header.save(QStringLiteral("card-nap.png"));
    expectFits(card->countdownLabel());
    EXPECT_NEAR(card->dial().shownProgress(), 61.0 / 120, 1e-9);
    EXPECT_EQ(card->dial().size(), QSize(RingDial::side, RingDial::side));
    EXPECT_EQ(card->endButton().toolTip(), QStringLiteral("End break"));
}

} // namespace
} // namespace halvrick::cardtest
