#include "menubar/PopoverView.h"

#include "ShellTestSupport.h"
#include "menubar/BlameList.h"
#include "menubar/BlameRows.h"
#include "menubar/CoolDownView.h"
#include "menubar/EveningCardView.h"
#include "menubar/HabitStripView.h"
#include "menubar/NapView.h"
#include "menubar/PopoverCardSlot.h"
#include "menubar/PopoverFooter.h"
#include "menubar/PopupPanel.h"
#include "menubar/ReminderBubbleView.h"
#include "menubar/RestPromptView.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"
#include "pea/CursorPeaView.h"
#include "ui/FittingScrollView.h"
#include "ui/LinkButton.h"
#include "ui/RoundedPanel.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace halvrick::shelltest {
namespace {

class PopoverViewTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        view = make(false);
    }

    PopoverActions actions() {
        PopoverActions actions;
        actions.openHistory = [this] { ++opened["history"]; };
        actions.openVitals = [this] { ++opened["vitals"]; };
        actions.openRoast = [this] { ++opened["roast"]; };
        actions.openWrapped = [this] { ++opened["wrapped"]; };
        actions.openSettings = [this] { ++opened["settings"]; };
        return actions;
    }

    // Shown offscreen: a view refreshes only while its window is shown.
    std::unique_ptr<PopoverView> make(bool showsDebug) {
        auto made = std::make_unique<PopoverView>(*model, showsDebug, actions(), clock());
        made->setAttribute(Qt::WA_DontShowOnScreen);
        made->show();
        return made;
    }

    WallClock clock() {
        return {[this] { return world.now; }, [this] { return world.calendar; }};
    }

    const BlameRow* row(const AppKey& key) const {
        const auto it = view->blameList().rows().find(key);
        return it == view->blameList().rows().end() ? nullptr : it->second;
    }

    bool shown(const QWidget& widget) const { return widget.isVisibleTo(view.get()); }

    // Waits out the heads-up on show: the popover's card outlasts the bubble several times over.
    void outlastHeadsUp() {
        world.advance(60);
        QCoreApplication::processEvents();
    }

    // The user's own reminder, due a few minutes from now, ticked until it shows.
    void bringReminder() {
        const DateComponents due = world.calendar.components(world.now + 180);
        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-00000000000A"), "Stretch",
                                         Reminder::Schedule::daily(due.hour, due.minute), true)});
        for (int minute = 0; minute < 6 && !model->activeReminder(); ++minute) {
            world.advance(60);
            model->ingestLoad(5, world.now);
        }
        ASSERT_TRUE(model->activeReminder());
        QCoreApplication::processEvents();
    }

    // A break offered, taken and sat out.
    void takeABreak() {
        model->handleRestEvents(model->coach().promptNow(), false);
        model->handleRestEvents(model->coach().acceptRest(), false);
        world.typing = false;
        for (int i = 0; i < 600 && model->restPhase() != RestPhase::breakTaken; ++i) {
            world.advance(1);
            model->ingestLoad(5, world.now);
        }
        QCoreApplication::processEvents();
    }

    // Writes the popover, laid out as on screen, next to the test program and returns it.
    QImage screenshot(const QString& name) {
        PopupPanel panel(false);
        auto* shown = new PopoverView(*model, false, actions(), clock());
        panel.setContent(shown);
        panel.setAttribute(Qt::WA_DontShowOnScreen);
        panel.show();
        shown->refresh();
        panel.layout()->activate();
        panel.adjustSize();
        QImage image(panel.size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        panel.render(&image);
        image.save(QCoreApplication::applicationDirPath() + "/" + name);
        return image;
    }

    std::unique_ptr<PopoverView> view;
    std::map<std::string, int> opened;
};

TEST_F(PopoverViewTest, ReadsTheModelAndUpdatesRowsInPlace) {
    heatUp();
    view->refresh();
    const AppKey backup{AppKey::Kind::process, "backupd", "backupd"};
    const std::vector<AppKey> expected{fakes::app("Compiler"), fakes::app("Browser"), AppKey::system()};
    ASSERT_EQ(view->blameList().rowOrder(), expected);
    EXPECT_FALSE(view->titleLabel().text().isEmpty());
    EXPECT_EQ(view->blameLineLabel().text().toStdString(), model->blame().displayedBlameLine());
    EXPECT_TRUE(view->blameLineLabel().font().bold()) << "the culprit's line is semibold";
    EXPECT_TRUE(row(fakes::app("Compiler"))->nameLabel().font().bold());
    EXPECT_FALSE(row(fakes::app("Browser"))->nameLabel().font().bold());

    // Buttons by kind: applications quit and ignore, processes only ignore, the system neither.
    EXPECT_NE(row(fakes::app("Compiler"))->quitButton(), nullptr);
    EXPECT_NE(row(fakes::app("Compiler"))->ignoreButton(), nullptr);
    model->blame().setIgnoredNames({{fakes::app("Browser").id, "Browser"}});
    model->blame().refresh();
    view->refresh();
    ASSERT_NE(row(backup), nullptr);
    EXPECT_EQ(row(backup)->quitButton(), nullptr);
    EXPECT_NE(row(backup)->ignoreButton(), nullptr);
    EXPECT_EQ(row(AppKey::system())->quitButton(), nullptr);
    EXPECT_EQ(row(AppKey::system())->ignoreButton(), nullptr);
    EXPECT_FALSE(shown(view->blameList().systemParts())) << "no breakdown before the system's parts are known";

    // A later sample keeps the same row objects.
    const BlameRow* compiler = row(fakes::app("Compiler"));
    model->ingestProcesses(fakes::processSample(world.now, 2, {{fakes::app("Compiler"), 3}}));
    view->refresh();
    EXPECT_EQ(row(fakes::app("Compiler")), compiler);
}

TEST_F(PopoverViewTest, PublishesComingTogetherAreOneRefresh) {
    const int before = view->refreshCount();
    model->setForcedState(HeatState::warm);
    model->blame().setIgnoredNames({{"/a.desktop", "A"}});
    model->setForcedState(HeatState::sweating);
    EXPECT_EQ(view->refreshCount(), before);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->refreshCount(), before + 1);
    EXPECT_TRUE(view->heatLabel().text().contains(QStringLiteral("Sweating")));
    EXPECT_FALSE(view->forcedNote().isHidden());
}

TEST_F(PopoverViewTest, IgnoringAndShowingAgain) {
    heatUp();
    view->refresh();
    const_cast<BlameRow*>(row(fakes::app("Browser")))->ignoreButton()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(row(fakes::app("Browser")), nullptr);
    EXPECT_EQ(model->blame().ignoredNames().count(fakes::app("Browser").id), 1U);
    EXPECT_FALSE(view->ignoredApps().isHidden());
    EXPECT_EQ(view->ignoredApps().header(), QStringLiteral("Ignoring 1 app"));
    EXPECT_TRUE(view->ignoredApps().showAllButton()->isHidden());

    view->ignoredApps().onShowAgain(fakes::app("Browser").id);
    QCoreApplication::processEvents();
    EXPECT_NE(row(fakes::app("Browser")), nullptr);
    EXPECT_TRUE(view->ignoredApps().isHidden());
}

TEST_F(PopoverViewTest, IgnoredAppsAreListedByNameWhateverTheCase) {
    const auto list = IgnoredApp::list({{"/1", "Beta"}, {"/2", "alpha"}, {"/3", "Gamma"}});
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(list[0].name, "alpha");
    EXPECT_EQ(list[1].name, "Beta");
    EXPECT_EQ(list[2].name, "Gamma");
    IgnoredAppsView ignored;
    ignored.refresh(list);
    EXPECT_EQ(ignored.header(), QStringLiteral("Ignoring 3 apps"));
    EXPECT_FALSE(ignored.showAllButton()->isHidden());
}

// The outcome line answers the last quit: a Quit on another row clears it.
TEST_F(PopoverViewTest, ANewQuitClearsTheLastOutcomeLine) {
    heatUp();
    view->refresh();
    BlameRow* compiler = const_cast<BlameRow*>(row(fakes::app("Compiler")));
    BlameRow* browser = const_cast<BlameRow*>(row(fakes::app("Browser")));
    compiler->quitButton()->click();
    QCoreApplication::processEvents();
    compiler->confirmButton()->click();
    QCoreApplication::processEvents();
    ASSERT_EQ(view->quitMessageLabel().text(), "Asked Compiler to leave. Fingers crossed.");
    ASSERT_TRUE(shown(view->quitMessageLabel()));

    browser->quitButton()->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(browser->isConfirming());
    EXPECT_FALSE(shown(view->quitMessageLabel()));
}

TEST_F(PopoverViewTest, AQuitThatWentOutGreysTheRowAtOnce) {
    heatUp();
    view->refresh();
    BlameRow* compiler = const_cast<BlameRow*>(row(fakes::app("Compiler")));
    model->blame().setConfirmingQuit(fakes::app("Compiler"));
    QCoreApplication::processEvents();
    compiler->confirmButton()->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(compiler->isLeaving());
    EXPECT_FALSE(compiler->quitButton()->isEnabled()) << "no second quit";
    EXPECT_FALSE(row(fakes::app("Browser"))->isLeaving());
    // Asked again (from the keyboard, say) while it is gone: no failure line.
    world.goneApps.insert(fakes::app("Compiler").id);
    model->blame().setConfirmingQuit(fakes::app("Compiler"));
    model->blame().confirmQuit();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->quitMessageLabel().text(), "Compiler has already left.");
    EXPECT_FALSE(compiler->isConfirming());
}

// Rows that reorder under the pointer send a click meant for one row's Quit to another.
TEST_F(PopoverViewTest, RowsHoldStillUnderThePointerAndCatchUpWhenItLeaves) {
    heatUp();
    view->refresh();
    const std::vector<AppKey> before{fakes::app("Compiler"), fakes::app("Browser"), AppKey::system()};
    ASSERT_EQ(view->blameList().rowOrder(), before);
    const QRect browserPlace = row(fakes::app("Browser"))->geometry();
    const QString blameLine = view->blameLineLabel().text();

    QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
    QCoreApplication::sendEvent(view.get(), &enter);
    EXPECT_TRUE(view->holdsRowsStill());
    // The browser overtakes, a new application comes, the system's parts arrive.
    for (int i = 0; i < 6; ++i) {
        world.advance(2);
        model->ingestProcesses(fakes::processSample(
            world.now, 2, {{fakes::app("Browser"), 4}, {fakes::app("Game"), 3}, {fakes::app("Compiler"), 0.1}}));
    }
    QCoreApplication::processEvents();
    ASSERT_NE(model->blame().topApps().front().app, fakes::app("Compiler"));
    EXPECT_EQ(view->blameList().rowOrder(), before);
    EXPECT_EQ(row(fakes::app("Browser"))->geometry(), browserPlace);
    EXPECT_EQ(row(fakes::app("Game")), nullptr) << "no row comes in under the pointer";
    EXPECT_EQ(view->blameLineLabel().text(), blameLine);
    // Figures still move.
    const auto browser = std::find_if(model->blame().topApps().begin(), model->blame().topApps().end(),
                                      [](const AppShare& s) { return s.app == fakes::app("Browser"); });
    ASSERT_NE(browser, model->blame().topApps().end());
    EXPECT_EQ(row(fakes::app("Browser"))->shareLabel().text().toStdString(), Copy::percent(browser->share));

    // An open confirmation holds them too, pointer or not.
    QEvent leave(QEvent::Leave);
    model->blame().setConfirmingQuit(fakes::app("Compiler"));
    QCoreApplication::sendEvent(view.get(), &leave);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->blameList().rowOrder(), before);

    model->blame().setConfirmingQuit(std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->holdsRowsStill());
    EXPECT_EQ(view->blameList().rowOrder().front(), model->blame().topApps().front().app);
    EXPECT_NE(row(fakes::app("Game")), nullptr);
}

// The user's own ignore takes effect under the pointer: it is what the click was for.
TEST_F(PopoverViewTest, IgnoringUnderThePointerTakesEffectAtOnce) {
    heatUp();
    view->refresh();
    QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
    QCoreApplication::sendEvent(view.get(), &enter);
    const_cast<BlameRow*>(row(fakes::app("Browser")))->ignoreButton()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(row(fakes::app("Browser")), nullptr);
    EXPECT_TRUE(view->holdsRowsStill());
}

// Rows made after the popover was built still come in their place: Tab goes top to bottom.
TEST_F(PopoverViewTest, TabGoesTopToBottomThroughThePopover) {
    PopupPanel panel(false);
    auto* shown = new PopoverView(*model, false, actions(), clock());
    panel.setContent(shown);
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.show();
    heatUp();
    bringReminder();
    world.now = world.calendar.date(2026, 3, 8, 18, 30, 0);
    model->refreshWrappedOffer(world.now);
    QCoreApplication::processEvents();
    panel.layout()->activate();
    panel.adjustSize();

    std::vector<QWidget*> chain;
    QWidget* first = shown->nextInFocusChain();
    for (QWidget* w = first; chain.size() < 200; w = w->nextInFocusChain()) {
        if (shown->isAncestorOf(w) && w->isVisibleTo(shown) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            chain.push_back(w);
        }
        if (w->nextInFocusChain() == first) {
            break;
        }
    }
    const auto rank = [&](const QWidget& w) {
        const auto at = std::find(chain.begin(), chain.end(), &w);
        EXPECT_NE(at, chain.end()) << w.metaObject()->className();
        return at - chain.begin();
    };
    // The blame section, the rows in their order, the card, the vitals link, the footer.
    std::vector<const QWidget*> expected{&shown->roastButton()};
    for (const AppKey& key : shown->blameList().rowOrder()) {
        const BlameRow* row = shown->blameList().rows().at(key);
        for (const QWidget* button : {static_cast<const QWidget*>(row->quitButton()),
                                      static_cast<const QWidget*>(row->ignoreButton())}) {
            if (button) {
                expected.push_back(button);
            }
        }
    }
    expected.insert(expected.end(), {&shown->cardSlot().reminder().snoozeButton(),
                                     &shown->cardSlot().reminder().doneButton(), &shown->vitalsLink(),
                                     &shown->footer().settingsButton(), &shown->footer().moreButton()});
    ASSERT_GE(expected.size(), 9U);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        EXPECT_LT(rank(*expected[i - 1]), rank(*expected[i]))
            << expected[i - 1]->metaObject()->className() << " before " << expected[i]->metaObject()->className();
    }
}

// Drawn without a frame, the link-style buttons show a ring where the keyboard is.
TEST_F(PopoverViewTest, LinkStyleButtonsShowTheirFocus) {
    LinkButton link;
    link.setText(QStringLiteral("What changed…"));
    HabitStripView strip(*model, [] {}, [this] { return world.now; });
    for (QWidget* button : {static_cast<QWidget*>(&link), static_cast<QWidget*>(&strip)}) {
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);
        button->resize(QSize(160, 28));
        button->show();
        button->activateWindow();
        QCoreApplication::processEvents();
        const auto render = [button] {
            QImage image(button->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            button->render(&image);
            return image;
        };
        button->clearFocus();
        const QImage unfocused = render();
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus()) << button->metaObject()->className();
        EXPECT_NE(render(), unfocused) << button->metaObject()->className();
        button->hide();
    }
}

TEST_F(PopoverViewTest, FittingScrollViewFollowsItsContent) {
    struct Case {
        const char* name;
        int content;
        int maxHeight;
        int height;
    };
    for (const Case c : {Case{"short content", 180, 420, 180}, Case{"tall content", 600, 420, 420},
                         Case{"break maximum", 300, 250, 250}}) {
        SCOPED_TRACE(c.name);
        auto* content = new QWidget;
        content->setFixedHeight(c.content);
        FittingScrollView scroll(420, content);
        scroll.resize(340, 420);
        scroll.setMaxHeight(c.maxHeight);
        EXPECT_EQ(scroll.height(), c.height);
    }
}

TEST_F(PopoverViewTest, RestFlowKeepsTheBlameAndNotesButNoCardsOrHabits) {
    model->seedSampleWeek();
    model->setForcedState(HeatState::warm);
    model->announce("Psst.", std::nullopt, std::nullopt);
    view->refresh();
    EXPECT_EQ(view->scrollView().maxHeight(), popoverScrollMaxHeight);
    EXPECT_TRUE(shown(view->normalHeader()));
    EXPECT_TRUE(shown(view->cardSlot()));
    EXPECT_TRUE(shown(view->habitStrip()));
    EXPECT_TRUE(shown(view->vitalsLink()));

    model->handleRestEvents(model->coach().promptNow(), false);
    QCoreApplication::processEvents();
    ASSERT_EQ(model->restPhase(), RestPhase::prompting);
    EXPECT_EQ(view->shownLayout().header, PopoverHeader::restPrompt);
    EXPECT_FALSE(shown(view->normalHeader()));
    EXPECT_TRUE(shown(view->restPromptHeader()));
    EXPECT_FALSE(shown(view->napHeader()) || shown(view->coolDownHeader()));
    EXPECT_EQ(view->scrollView().maxHeight(), popoverRestFlowScrollMaxHeight);
    EXPECT_FALSE(shown(view->cardSlot())) << "the heads-up waits";
    EXPECT_FALSE(shown(view->habitStrip()));
    EXPECT_FALSE(shown(view->vitalsLink()));
    EXPECT_TRUE(shown(view->blameLineLabel()));
    EXPECT_TRUE(shown(view->forcedNote()));

    // The prompt's own answers move the header along.
    view->restPromptHeader().breatheButton().click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(model->coolDown().has_value());
    EXPECT_TRUE(shown(view->coolDownHeader()));
    EXPECT_FALSE(shown(view->restPromptHeader()));
    EXPECT_EQ(view->scrollView().maxHeight(), popoverRestFlowScrollMaxHeight);
    model->stopCoolDown();
    model->handleRestEvents(model->coach().promptNow(), false);
    view->restPromptHeader().restButton().click();
    QCoreApplication::processEvents();
    ASSERT_EQ(model->restPhase(), RestPhase::resting);
    EXPECT_TRUE(shown(view->napHeader()));
    EXPECT_FALSE(shown(view->restPromptHeader()) || shown(view->coolDownHeader()));
    EXPECT_FALSE(shown(view->habitStrip()));
    view->napHeader().endButton().click();
    model->handleRestEvents(model->coach().promptNow(), false);
    QCoreApplication::processEvents();
    ASSERT_EQ(model->restPhase(), RestPhase::prompting);

    // Snoozed: the pea and the card are back, the habits are not.
    model->handleRestEvents(model->coach().snooze(), false);
    QCoreApplication::processEvents();
    ASSERT_EQ(model->restPhase(), RestPhase::snoozed);
    EXPECT_TRUE(shown(view->normalHeader()));
    EXPECT_EQ(view->scrollView().maxHeight(), popoverScrollMaxHeight);
    EXPECT_TRUE(shown(view->cardSlot()));
    EXPECT_FALSE(shown(view->habitStrip()));
    EXPECT_FALSE(shown(view->vitalsLink()));
}

TEST_F(PopoverViewTest, CardsTakeTurnsInTheSlot) {
    PopoverCardSlot& slot = view->cardSlot();
    EXPECT_TRUE(slot.isHidden()) << "no card takes no room";

    // The evening check-in says so in a heads-up, which comes first.
    model->runEveningCheckNow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(model->eveningSummary() && model->headsUpMessage());
    EXPECT_EQ(slot.card(), PopoverCard::headsUp);
    EXPECT_EQ(slot.headsUpLabel().text().toStdString(), *model->headsUpMessage());
    EXPECT_FALSE(slot.headsUpCard().isHidden());
    EXPECT_TRUE(slot.eveningCard().isHidden());

    outlastHeadsUp();
    EXPECT_EQ(slot.card(), PopoverCard::evening);
    EXPECT_TRUE(slot.headsUpCard().isHidden());
    EXPECT_FALSE(slot.eveningCard().isHidden());
    EXPECT_EQ(slot.eveningCard().summary(), *model->eveningSummary());
    slot.eveningCard().lookBackButton().click();
    EXPECT_EQ(opened["history"], 1);

    slot.eveningCard().goodnightButton().click();
    outlastHeadsUp();
    EXPECT_EQ(slot.card(), PopoverCard::none);
    EXPECT_TRUE(slot.isHidden());

    // Sunday evening: the weekly summary is ready.
    world.now = world.calendar.date(2026, 3, 8, 18, 30, 0);
    model->refreshWrappedOffer(world.now);
    QCoreApplication::processEvents();
    EXPECT_EQ(slot.card(), PopoverCard::wrapped);
    EXPECT_FALSE(slot.wrappedCard().isHidden());
    slot.wrappedOpenButton().click();
    EXPECT_EQ(opened["wrapped"], 1);
}

TEST_F(PopoverViewTest, AReminderOutranksAHeadsUpThatWaitsItsTurn) {
    bringReminder();
    model->announce("Psst.", std::nullopt, std::nullopt);
    QCoreApplication::processEvents();
    PopoverCardSlot& slot = view->cardSlot();
    EXPECT_EQ(slot.card(), PopoverCard::reminder);
    EXPECT_FALSE(slot.reminderCard().isHidden());
    EXPECT_TRUE(slot.reminder().isShowingReminder());
    EXPECT_TRUE(slot.headsUpCard().isHidden());

    slot.reminder().doneButton().click();
    QCoreApplication::processEvents();
    EXPECT_EQ(slot.card(), PopoverCard::headsUp);
    EXPECT_TRUE(slot.reminderCard().isHidden());
    EXPECT_EQ(slot.headsUpLabel().text(), QStringLiteral("Psst."));
}

TEST_F(PopoverViewTest, HeaderReadsTheModel) {
    model->setForcedState(HeatState::sweating);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->heatLabel().text(), QStringLiteral("Sweating"));
    EXPECT_TRUE(view->heatLabel().font().bold());
    EXPECT_EQ(view->scoreLabel().text().toStdString(), Copy::scoreLabel(model->score()));
    EXPECT_EQ(view->loadLabel().text().toStdString(), Copy::loadLabel(model->cpuLoad(), model->thermal()));
    EXPECT_TRUE(view->loadLabel().text().endsWith(QStringLiteral("running cool")));
    // A machine without a thermal sensor is not "running cool": nothing is said about temperature.
    world.thermalSensor = false;
    view->refresh();
    EXPECT_EQ(view->loadLabel().text().toStdString(), "CPU " + Copy::rounded(model->cpuLoad()) + "%");
    world.thermalSensor = true;
    EXPECT_EQ(view->titleLabel().text().toStdString(), model->line());
    EXPECT_FALSE(view->pea().pea().isAnimating()) << "still while the popover is closed";

    model->popoverWillOpen(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->pea().pea().isAnimating());
    model->updateDisplayOptions(true, true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->pea().pea().isAnimating());
    EXPECT_TRUE(view->pea().pea().style().highContrast);

    takeABreak();
    ASSERT_EQ(model->restPhase(), RestPhase::breakTaken);
    EXPECT_EQ(view->titleLabel().text(), QStringLiteral("All rested. Come back whenever 😌"));
}

TEST_F(PopoverViewTest, ThePeaWatchesThePointerAndTakesAPoke) {
    CursorPeaView& pea = view->pea();
    EXPECT_EQ(pea.toolTip(), QStringLiteral("Click me for a wave"));
    EXPECT_EQ(pea.pupil(), std::nullopt) << "the face's own pupils until the pointer comes";
    EXPECT_EQ(pea.pea().pupilOffset(), std::nullopt);

    QEnterEvent enter(QPointF(0, 30), QPointF(0, 30), QPointF(0, 30));
    QCoreApplication::sendEvent(&pea, &enter);
    EXPECT_DOUBLE_EQ(*pea.pea().pupilOffset(), -0.8);
    QMouseEvent move(QEvent::MouseMove, QPointF(32, 40), QPointF(32, 40), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&pea, &move);
    EXPECT_DOUBLE_EQ(*pea.pea().pupilOffset(), 0);
    QMouseEvent right(QEvent::MouseMove, QPointF(60, 2), QPointF(60, 2), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&pea, &right);
    EXPECT_DOUBLE_EQ(*pea.pupil(), 0.8);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&pea, &leave);
    EXPECT_EQ(pea.pupil(), 0.0) << "straight ahead, not back to the face's own";
    EXPECT_EQ(pea.pea().pupilOffset(), 0.0);

    // A click in a corner of the square, away from the pea's body.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&pea, &press);
    QCoreApplication::sendEvent(&pea, &release);
    EXPECT_EQ(model->momentaryFace(), FaceState::grateful);
    EXPECT_TRUE(model->headsUpMessage().has_value());
}

TEST_F(PopoverViewTest, RoastHabitsAndVitalsOpenTheirWindows) {
    model->seedSampleWeek();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->roastButton().toolTip(), QStringLiteral("Roast card…"));
    view->roastButton().click();
    EXPECT_EQ(opened["roast"], 1);

    EXPECT_EQ(view->vitalsLink().text(), QStringLiteral("What changed…"));
    EXPECT_EQ(view->vitalsLink().toolTip(), QStringLiteral("Vitals…"));
    view->vitalsLink().click();
    EXPECT_EQ(opened["vitals"], 1);

    ASSERT_TRUE(shown(view->habitStrip()));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&view->habitStrip(), &press);
    QCoreApplication::sendEvent(&view->habitStrip(), &release);
    EXPECT_EQ(opened["history"], 1);

    view->footer().settingsButton().click();
    EXPECT_EQ(opened["settings"], 1);
}

TEST_F(PopoverViewTest, NoRoastButtonOrWeeklySummaryWithoutTheirWindows) {
    PopoverActions some = actions();
    some.openRoast = nullptr;
    some.openWrapped = nullptr;
    view = std::make_unique<PopoverView>(*model, false, std::move(some), clock());
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->show();
    model->seedSampleWeek();
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown(view->roastButton()));
    EXPECT_EQ(view->footer().moreMenu().action(MenuRow::Command::roast), nullptr);
    EXPECT_EQ(view->footer().moreMenu().action(MenuRow::Command::wrapped), nullptr);
    EXPECT_NE(view->footer().moreMenu().action(MenuRow::Command::history), nullptr);

    world.now = world.calendar.date(2026, 3, 8, 18, 30, 0);
    model->refreshWrappedOffer(world.now);
    QCoreApplication::processEvents();
    ASSERT_TRUE(model->wrappedReady());
    EXPECT_EQ(view->shownLayout().card, PopoverCard::none) << "nothing to open it with";
}

TEST_F(PopoverViewTest, NotesForAFailedSamplerAndTheDebugReadout) {
    EXPECT_FALSE(shown(view->samplingNote()));
    model->setSimulatingSamplerFailure(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown(view->samplingNote()));
    EXPECT_FALSE(shown(view->debugReadout())) << "the status item's popover shows no readout";

    view = make(true);
    model->ingestLoad(50, world.now);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown(view->debugReadout()));
    EXPECT_EQ(view->debugReadout().text().toStdString(), model->debugReadout());
}

TEST_F(PopoverViewTest, Screenshots) {
    const QImage empty = screenshot(QStringLiteral("popover-empty.png"));
    EXPECT_FALSE(empty.isNull());
    model->ingestProcesses(fakes::processSample(
        world.now, 2, {{fakes::app("Browser"), 0.2}, {AppKey::system(), 0.1}}));
    const QImage chill = screenshot(QStringLiteral("popover-chill.png"));
    ASSERT_EQ(model->state(), HeatState::chill);
    EXPECT_GT(chill.height(), empty.height()) << "the blame list makes the popover taller";
    heatUp(100);
    model->seedSampleWeek();
    model->startChallenge(ChallengeKind::chillWeek, world.now);
    model->setForcedState(HeatState::meltdown);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-meltdown.png")).isNull());

    model->setForcedState(std::nullopt);
    model->announce("Heads-up: the compiler is cooking again.", std::nullopt, std::nullopt);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-heads-up.png")).isNull());
    outlastHeadsUp();
    model->runEveningCheckNow();
    outlastHeadsUp();
    EXPECT_FALSE(screenshot(QStringLiteral("popover-evening.png")).isNull());
    model->dismissEvening();
    outlastHeadsUp();
    bringReminder();
    EXPECT_FALSE(screenshot(QStringLiteral("popover-reminder.png")).isNull());
    model->completeReminder();
    outlastHeadsUp();

    model->handleRestEvents(model->coach().promptNow(), false);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-rest-prompt.png")).isNull());
    model->handleRestEvents(model->coach().acceptRest(), false);
    model->ingestLoad(5, world.now);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-nap.png")).isNull());
    model->handleRestEvents(model->coach().cancel(), false);
    model->startCoolDown();
    world.advance(5);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-cool-down.png")).isNull());
    model->stopCoolDown();
    outlastHeadsUp();

    world.now = world.calendar.date(2026, 3, 8, 18, 30, 0);
    model->refreshWrappedOffer(world.now);
    EXPECT_FALSE(screenshot(QStringLiteral("popover-wrapped.png")).isNull());
}

} // namespace
} // namespace halvrick::shelltest

namespace halvrick::shelltest {
namespace {

// Counts, for every widget, the paints and relayouts it gets while it lives.
class PaintCounter : public QObject {
public:
    PaintCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }

    std::set<const QObject*> painted;
    std::set<const QObject*> laidOut;
    // Every event of any kind, to any object.
    int events = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        ++events;
        if (event->type() == QEvent::Paint) {
            painted.insert(watched);
        } else if (event->type() == QEvent::LayoutRequest) {
            laidOut.insert(watched);
        }
        return false;
    }
};

// The popover content in its own window, on screen as the window without a tray is all day.
class PopoverRepaintTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        view = new PopoverView(*model, false, PopoverActions{},
                               WallClock{[this] { return world.now; }, [this] { return world.calendar; }});
        window.setContent(view);
        // A moving pea repaints whenever its timer falls due, as late as a loaded machine runs it: these
        // tests count what the figures repaint.
        model->updateDisplayOptions(true, false);
        model->popoverWillOpen(false);
        window.show();
        heatUp(5);
        for (double cpu : {0.0, 4.0}) {
            world.advance(2);
            model->blame().ingestListing({{7, cpu, "/usr/bin/indexer"}}, world.now);
        }
        settle();
        ASSERT_TRUE(window.windowHandle()->isExposed());
        ASSERT_FALSE(model->blame().systemParts().empty());
        ASSERT_FALSE(view->blameList().systemParts().isHidden());
    }

    // Runs the refresh, the relayouts and the paints that are due, until a turn of the event loop brings
    // no event at all: a change of size climbs one widget a turn, so the number of turns needed is the
    // layout's depth.
    static void settle() {
        for (int i = 0; i < 50; ++i) {
            const PaintCounter turn;
            QCoreApplication::processEvents();
            if (turn.events == 0) {
                return;
            }
        }
    }

    PopupPanel window{false};
    PopoverView* view = nullptr;
};

TEST_F(PopoverRepaintTest, ATickThatChangesNoTextRepaintsNothing) {
    world.advance(1);
    model->ingestLoad(model->cpuLoad(), world.now);
    settle();
    {
        PaintCounter counter;
        view->refresh();
        world.advance(1);
        model->ingestLoad(model->cpuLoad(), world.now);
        settle();
        EXPECT_TRUE(counter.painted.empty()) << counter.painted.size() << " widgets repainted";
        EXPECT_TRUE(counter.laidOut.empty()) << counter.laidOut.size() << " layouts redone";
    }
}

TEST_F(PopoverRepaintTest, AFigureAsWideAsTheLastRepaintsItsLabelWithoutALayout) {
    // Digits of the interface's fonts are all as wide: 5 % and 6 % take the same room.
    world.advance(1);
    model->ingestLoad(5, world.now);
    settle();
    const QString before = view->loadLabel().text();
    PaintCounter counter;
    world.advance(1);
    model->ingestLoad(6, world.now);
    settle();
    ASSERT_NE(view->loadLabel().text(), before);
    EXPECT_TRUE(counter.painted.contains(&view->loadLabel()));
    EXPECT_FALSE(counter.painted.contains(&view->titleLabel()));
    EXPECT_FALSE(counter.painted.contains(&view->blameLineLabel()));
    EXPECT_TRUE(counter.laidOut.empty())
        << counter.laidOut.size() << " layouts redone, wrapped texts and all";
}

TEST_F(PopoverRepaintTest, AWiderFigureGetsTheRoomItNeeds) {
    world.advance(1);
    model->ingestLoad(5, world.now);
    settle();
    const int narrow = view->loadLabel().sizeHint().width();
    world.advance(1);
    model->ingestLoad(100, world.now);
    settle();
    EXPECT_GT(view->loadLabel().width(), narrow);
    EXPECT_GE(view->loadLabel().width(), view->loadLabel().sizeHint().width()) << "never cut short";

    QFont larger = view->loadLabel().font();
    larger.setPixelSize(larger.pixelSize() + 4);
    const_cast<QLabel&>(view->loadLabel()).setFont(larger);
    settle();
    EXPECT_GE(view->loadLabel().width(), view->loadLabel().sizeHint().width()) << "a new font, a new size";
    EXPECT_GE(view->loadLabel().height(), view->loadLabel().sizeHint().height());
}

} // namespace
} // namespace halvrick::shelltest
