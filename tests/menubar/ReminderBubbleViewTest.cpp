#include "menubar/ReminderBubbleView.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"
#include "menubar/PopoverCardSlot.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "menubar/StatusItemController.h"
#include "pea/AnimatedPeaView.h"
#include "ui/RoundedPanel.h"

#include <QRegion>

namespace halvrick::cardtest {
namespace {

struct LongText {
    const char* name;
    std::string text;
    // Longer than a card shows.
    bool long_;
};

std::string words(std::size_t length) {
    std::string text;
    while (text.size() < length) {
        text += "walk around the block and drink some water ";
    }
    return text.substr(0, length);
}

// Reminder texts as the user may type them; each is cut to 500 characters for display before it gets here.
const std::vector<LongText> longTexts = {
    {"one 500-character word", std::string(500, 'x'), true},
    {"500 characters of words", words(500), true},
    {"short", "Stretch", false},
    {"a 60-character word among short ones", "Read " + std::string(60, 'w') + " then rest", false},
    {"mixed scripts and signs", "Café ✓ at 12:30: tea & <b>biscuits</b> 🍪, Grüße, naïve ümlaut", false},
};

// Whether every pixel of `area` (in points) of an image at scale 2 has one colour: no text drawn there.
bool blank(const QImage& image, QRect area) {
    const QColor first = image.pixelColor(area.left() * 2, area.top() * 2);
    return !drawsIn(image, area, first);
}

// The widget is drawn whole: no ancestor clips it and no scrolling is needed to reach it.
void expectWhollyVisible(const QWidget& widget) {
    SCOPED_TRACE(widget.metaObject()->className());
    ASSERT_TRUE(widget.isVisible());
    EXPECT_EQ(widget.visibleRegion(), QRegion(widget.rect()));
    const QRect inWindow(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
    EXPECT_TRUE(widget.window()->rect().contains(inWindow));
}

class ReminderBubbleViewTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        view = std::make_unique<ReminderBubbleView>(*model);
        showOffscreen(*view);
    }

    // A daily reminder due a few minutes from now (the first tick that sees it only schedules it), ticked
    // until the model shows it.
    void bring(const std::string& text) {
        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-00000000000A"), text,
                                         Reminder::Schedule::daily(9, 3), true)});
        for (int minute = 0; minute < 6 && !model->activeReminder(); ++minute) {
            tick(60);
        }
        ASSERT_TRUE(model->activeReminder());
        QCoreApplication::processEvents();
    }

    // Ticks a minute at a time.
    void minutes(int count) {
        for (int i = 0; i < count; ++i) {
            tick(60);
        }
        QCoreApplication::processEvents();
    }

    std::unique_ptr<ReminderBubbleView> view;
};

TEST_F(ReminderBubbleViewTest, FollowsTheActiveReminderAndTakesNoSpaceWithoutOne) {
    EXPECT_FALSE(view->isShowingReminder());
    EXPECT_EQ(view->sizeHint(), QSize(0, 0));

    bring("Call the <b>bank</b>");
    EXPECT_TRUE(view->isShowingReminder());
    EXPECT_EQ(view->textLabel().text(), QStringLiteral("You asked me to remind you: Call the <b>bank</b>"));
    // The user's words are shown as typed, never as markup.
    EXPECT_EQ(view->textLabel().textFormat(), Qt::PlainText);

    model->completeReminder();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->isShowingReminder());
    EXPECT_EQ(view->sizeHint(), QSize(0, 0));
}

TEST_F(ReminderBubbleViewTest, AnEmptyReminderStillShowsThePrefix) {
    bring("");
    EXPECT_EQ(view->textLabel().text(), QStringLiteral("You asked me to remind you: "));
}

TEST_F(ReminderBubbleViewTest, ReturnCompletesWhereverTheFocusIsAndSnoozingBringsItBack) {
    bring("Stretch");
    // Focus on "In 10 min": it takes no Return, so the card's default answer does.
    pressReturn(view->snoozeButton());
    EXPECT_FALSE(model->activeReminder());
    minutes(11);
    EXPECT_FALSE(model->activeReminder()) << "done, not snoozed";

    world.advance(24 * 3600 - 11 * 60);
    bring("Stretch");
    view->snoozeButton().click();
    EXPECT_FALSE(model->activeReminder());
    minutes(11);
    EXPECT_TRUE(model->activeReminder()) << "back ten minutes later";

    pressReturn(*view);
    EXPECT_FALSE(model->activeReminder());
}

TEST_F(ReminderBubbleViewTest, ThePeaSaysHelloWhateverTheHeatAndFollowsTheDisplayOptions) {
    heatUp(100);
    model->setForcedState(HeatState::meltdown);
    bring("Drink water");
    EXPECT_EQ(view->pea().face(), face(FaceState::hello, HeatState::chill));
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, false}));
    EXPECT_TRUE(view->pea().isAnimating());

    model->updateDisplayOptions(true, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, true}));
    EXPECT_FALSE(view->pea().isAnimating());
}

TEST_F(ReminderBubbleViewTest, InTheBubble) {
    bring("Take the laundry out before it starts to smell like a swamp, and then fold it, properly this "
          "time");
    auto* shown = new ReminderBubbleView(*model);
    CardHost bubble(shown, 14, 320);
    bubble.save(QStringLiteral("card-reminder.png"));
    expectFits(shown->textLabel());
    EXPECT_LE(shown->doneButton().geometry().right(), shown->width());
    EXPECT_LT(shown->snoozeButton().geometry().right(), shown->doneButton().geometry().left());
}

// However long the text, it wraps inside the bubble, breaking a word too long for the line, and shows whole.
TEST_F(ReminderBubbleViewTest, AnyTextWrapsInsideTheBubbleAboveItsButtons) {
    constexpr int padding = 14;
    constexpr int width = 320;
    for (const LongText& c : longTexts) {
        SCOPED_TRACE(c.name);
        bring(c.text);
        auto* shown = new ReminderBubbleView(*model);
        CardHost bubble(shown, padding, width);
        const QImage image =
            bubble.save(QStringLiteral("card-reminder-%1.png").arg(QString::fromUtf8(c.name)));
        const WrappedLabel& label = shown->textLabel();
        expectFits(label);
        const QRect text(label.mapTo(&bubble.window(), QPoint(0, 0)), label.size());
        EXPECT_LE(text.right(), width - padding);
        QString drawn;
        for (const WrappedLabel::Line& line : label.shownLines()) {
            EXPECT_TRUE(QRectF(label.rect()).contains(line.rect)) << line.text.toStdString();
            drawn += line.text;
        }
        EXPECT_EQ(drawn, label.text()) << "all of it, nothing cut";
        EXPECT_LE(label.minimumSizeHint().width(), label.width())
            << "the text needs no more width than it has";
        EXPECT_TRUE(blank(image, QRect(width - padding, 0, padding, bubble.window().height())))
            << "ink in the right margin";
        // No stroke runs into the text's last pixel column, as one cut at its edge does; a glyph that ends
        // there may still tint it.
        const int edge = (text.right() + 1) * 2 - 1;
        const int background = qGray(image.pixel(edge, 0));
        for (int y = text.top() * 2; y < (text.bottom() + 1) * 2; ++y) {
            ASSERT_LT(std::abs(qGray(image.pixel(edge, y)) - background), 100)
                << "a stroke at " << edge << "," << y;
        }
        EXPECT_TRUE(drawsIn(image, text, image.pixelColor(0, 0)));
        expectWhollyVisible(shown->snoozeButton());
        expectWhollyVisible(shown->doneButton());
    }
}

// A bubble on a short screen ends the text that does not fit in "…" and keeps its buttons.
TEST_F(ReminderBubbleViewTest, OnAShortScreenTheTextEndsInAnEllipsisAboveTheButtons) {
    bring(words(500));
    auto* shown = new ReminderBubbleView(*model);
    constexpr int fit = 150;
    shown->setFitHeight(fit);
    CardHost bubble(shown, 14, 320);
    bubble.save(QStringLiteral("card-reminder-short-screen.png"));
    EXPECT_LE(shown->height(), fit);
    const std::vector<WrappedLabel::Line> lines = shown->textLabel().shownLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().text.endsWith(QStringLiteral("…")));
    EXPECT_LE(lines.back().rect.bottom(), shown->textLabel().height());
    expectWhollyVisible(shown->doneButton());
}

// The popover as an ordinary window, where there is no tray: the card shows the first lines of the text, a
// word too long for a line broken inside it, and its buttons without scrolling.
TEST_F(ReminderBubbleViewTest, ThePopoversCardShowsTheFirstLinesAndItsButtons) {
    makeController(false);
    for (const LongText& c : longTexts) {
        SCOPED_TRACE(c.name);
        bring(c.text);
        controller->showPopover();
        // A change of size climbs one widget a round: the card, the scroll view, the window.
        for (int round = 0; round < 20; ++round) {
            QCoreApplication::processEvents();
        }
        PopoverCardSlot& slot = controller->popoverView().cardSlot();
        ASSERT_EQ(slot.card(), PopoverCard::reminder);
        const RoundedPanel& card = slot.reminderCard();
        const WrappedLabel& label = slot.reminder().textLabel();
        EXPECT_GE(label.height(), label.heightForWidth(label.width())) << "no line cut through";
        EXPECT_LE(label.height(), 4 * label.fontMetrics().lineSpacing());
        const std::vector<WrappedLabel::Line> lines = label.shownLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().text.endsWith(QStringLiteral("…")), c.long_)
            << lines.back().text.toStdString();
        for (const WrappedLabel::Line& line : lines) {
            EXPECT_TRUE(QRectF(label.rect()).contains(line.rect)) << line.text.toStdString();
        }
        const QRect text(label.mapTo(&card, QPoint(0, 0)), label.size());
        EXPECT_LE(text.right(), card.width() - 10);
        expectWhollyVisible(slot.reminder().snoozeButton());
        expectWhollyVisible(slot.reminder().doneButton());

        QWidget& window = *controller->popoverView().window();
        QImage image(window.size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        window.render(&image);
        image.save(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/popover-reminder-%1.png").arg(QString::fromUtf8(c.name)));
        // The card's right padding, clear of its rounded corners.
        const QPoint corner = card.mapTo(&window, QPoint(card.width() - 9, 12));
        EXPECT_TRUE(blank(image, QRect(corner, QSize(8, card.height() - 24)))) << "ink in the right margin";

        model->completeReminder();
        controller->closePopover();
        world.advance(24 * 3600 - 6 * 60);
    }
}

} // namespace
} // namespace halvrick::cardtest
