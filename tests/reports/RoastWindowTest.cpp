#include "reports/RoastWindowController.h"

#include "CardWindowTestSupport.h"
#include "FixedLocale.h"
#include "model/Copy.h"
#include "reports/CardWindowView.h"
#include "ui/CardText.h"
#include "ui/PngExport.h"
#include "ui/RoastCard.h"
#include "ui/ShareButton.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using fakes::app;
using fakes::processSample;

RoastCardData cardFor(std::string name, HeatState state, Personality personality) {
    RoastCardData data;
    data.app = AppKey(AppKey::Kind::app, "/usr/share/applications/x.desktop", std::move(name));
    data.state = state;
    data.cpuLoad = 97;
    data.share = 0.0734;
    data.personality = personality;
    data.dateText = QStringLiteral("Mar 5, 2026 at 9:00 AM");
    return data;
}

// However long the voice line, the headline and subhead end above the application box, and the box
// above the footer.
TEST(RoastCardTest, TheHeadlineWrapsAndShrinksButNeverRunsIntoTheBoxOrTheFooter) {
    ASSERT_TRUE(qtTestAppReady());
    const std::string longName = "Extraordinarily Long Application Name For Testing Purposes Only";
    for (const Personality personality : allPersonalities) {
        for (const HeatState state : {HeatState::sweating, HeatState::meltdown}) {
            for (const std::string& name : {std::string("Firefox"), longName}) {
                SCOPED_TRACE(Copy::roastHeadline(name, state, personality));
                const RoastCard::Layout parts = RoastCard::layout(cardFor(name, state, personality));
                EXPECT_LE(parts.subhead.bottom() + 18, parts.appBox.top() + 0.5);
                EXPECT_LE(parts.pea.bottom() + 18, parts.appBox.top() + 0.5);
                EXPECT_LE(parts.appBox.bottom() + 18, parts.footer.top() + 0.5);
                EXPECT_LE(parts.headline.right(), RoastCard::size.width() - RoastCard::padding + 0.5);
                if (name == longName) {
                    EXPECT_GT(parts.headlineLines, 1);
                }
            }
        }
    }
    const RoastCard::Layout plain = RoastCard::layout(cardFor("Firefox", HeatState::sweating, Personality::mild));
    EXPECT_EQ(plain.headlineFont.pixelSize(), 40) << "a short line keeps the full size";
}

// The pea and the text beside it are centred on one another, whichever is taller.
TEST(RoastCardTest, TheMascotRowIsCentred) {
    ASSERT_TRUE(qtTestAppReady());
    const std::string longName = "Extraordinarily Long Application Name For Testing Purposes Only";
    for (const std::string& name : {std::string("Firefox"), longName}) {
        SCOPED_TRACE(name);
        const RoastCard::Layout parts =
            RoastCard::layout(cardFor(name, HeatState::sweating, Personality::mild));
        const qreal columnCentre = (parts.headline.top() + parts.subhead.bottom()) / 2;
        EXPECT_NEAR(parts.pea.center().y(), columnCentre, 0.5);
        const qreal rowTop = std::min(parts.pea.top(), parts.headline.top());
        EXPECT_NEAR(rowTop, parts.header.bottom() + 18, 0.5) << "the row starts a spacing under the header";
        EXPECT_NEAR(parts.appBox.top(), std::max(parts.pea.bottom(), parts.subhead.bottom()) + 18, 0.5);
    }
}

// However many lines the headline needs it gets them all, each 2 px closer than its font would set them.
TEST(RoastCardTest, TheHeadlineIsNeverCutAndSitsTwoPixelsTighter) {
    ASSERT_TRUE(qtTestAppReady());
    std::string name;
    for (int i = 0; i < 6; ++i) {
        name += "Tremendously Verbose Application ";
    }
    const RoastCardData data = cardFor(name, HeatState::meltdown, Personality::dramatic);
    const RoastCard::Layout parts = RoastCard::layout(data);
    const QString headline = QString::fromStdString(Copy::roastHeadline(name, data.state, data.personality));
    EXPECT_GT(parts.headlineLines, 6);
    EXPECT_EQ(parts.headlineLines,
              CardText::lineCount(parts.headlineFont, headline, parts.headline.width(), 0));
    const qreal lineSpacing = QFontMetricsF(parts.headlineFont).lineSpacing();
    EXPECT_NEAR(parts.headline.height(), parts.headlineLines * lineSpacing - 2 * (parts.headlineLines - 1),
                0.01);
    EXPECT_LE(parts.subhead.bottom() + 18, parts.appBox.top() + 0.5);
}

TEST(RoastCardTest, ThePngIsTheCardAtTwiceItsSizeOnItsGradient) {
    ASSERT_TRUE(qtTestAppReady());
    const RoastCardData data = cardFor("Firefox", HeatState::meltdown, Personality::dramatic);
    const QImage image = PngExport::render(
        [&](QPainter& painter, QSizeF size) { RoastCard::paint(painter, size, data); }, RoastCard::size, 2);
    ASSERT_EQ(image.size(), QSize(1200, 1200));
    image.save(QDir::current().filePath(QStringLiteral("roast-card.png")));
    const QColor topLeft = image.pixelColor(2, 2);
    const QColor bottomRight = image.pixelColor(1197, 1197);
    EXPECT_NEAR(topLeft.red(), 39, 3);
    EXPECT_NEAR(topLeft.green(), 18, 3);
    EXPECT_NEAR(bottomRight.red(), 127, 3);
    EXPECT_NEAR(bottomRight.green(), 59, 3);

    const RoastCardData longest =
        cardFor("Extraordinarily Long Application Name For Testing Purposes Only", HeatState::meltdown,
                Personality::deadpan);
    PngExport::render([&](QPainter& painter, QSizeF size) { RoastCard::paint(painter, size, longest); },
                      RoastCard::size, 1)
        .save(QDir::current().filePath(QStringLiteral("roast-card-long.png")));
}

TEST(RoastCardTest, NamesAndDatesFollowTheDayOfTheCalendar) {
    ASSERT_TRUE(qtTestAppReady());
    const Calendar berlin("Europe/Berlin");
    // 23:30 UTC is already the next day in Berlin.
    const Date lateEvening = Calendar("UTC").date(2026, 3, 5, 23, 30);
    EXPECT_EQ(RoastWindowController::fileName(lateEvening, berlin), QStringLiteral("Halvrick Roast 2026-03-06.png"));
    // The medium date and the short time of the user's locale.
    const std::pair<const char*, const char*> rows[] = {
        {"en_US", "Mar 6, 2026 12:30 AM"}, {"en_GB", "6 Mar 2026 00:30"}, {"de_DE", "6. März 2026 00:30"}};
    for (const auto& [locale, text] : rows) {
        const FixedLocale fixed(locale);
        EXPECT_EQ(RoastCard::dateText(lateEvening, berlin), QString::fromUtf8(text)) << locale;
    }
}

class RoastWindowTest : public CardWindowTest {
protected:
    void makeController(std::optional<QString> answer) {
        controller = std::make_unique<RoastWindowController>(*model, worldClock(), dialog(std::move(answer)));
    }

    void blame(const AppKey& key) {
        model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 2}, {key, 1}}));
    }

    std::unique_ptr<RoastWindowController> controller;
};

TEST_F(RoastWindowTest, NobodyToBlameOpensNoWindowAndThePeaSaysSo) {
    makeController(std::nullopt);
    controller->show();
    EXPECT_EQ(controller->window(), nullptr);
    ASSERT_FALSE(spoken.empty());
    EXPECT_EQ(spoken.back().text, RoastWindowController::nobodyText);
    EXPECT_EQ(spoken.back().duration, 4.0);
    EXPECT_EQ(spoken.back().face, model->styled(face(FaceState::sideEye, model->state())));
    EXPECT_EQ(model->momentaryFace(), FaceState::sideEye);
}

TEST_F(RoastWindowTest, EveryShowHasTheCurrentCulpritAFreshDateAndNoLineInTheSameWindow) {
    const QString target = runtime.filePath(QStringLiteral("saved.png"));
    makeController(target);
    blame(app("Browser"));
    controller->show();
    QWidget* window = controller->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Roast card"));
    auto* card = dynamic_cast<RoastCardWidget*>(&controller->view()->card());
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->data().app, app("Browser"));

    controller->view()->save();
    EXPECT_EQ(controller->view()->message(), QString::fromUtf8(CardWindowView::savedText));
    EXPECT_TRUE(QFile::exists(target));
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_EQ(chooser->requests[0].suggestedName, QStringLiteral("Halvrick Roast 2026-03-05.png"));
    const QPoint place = window->pos();

    world.advance(60);
    blame(app("Compiler"));
    controller->show();
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(window->pos(), place);
    card = dynamic_cast<RoastCardWidget*>(&controller->view()->card());
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->data().app, app("Compiler"));
    EXPECT_EQ(controller->view()->message(), QString());
}

TEST_F(RoastWindowTest, ACancelledSaveSaysNothingAndAFailedOneSaysSo) {
    makeController(std::nullopt);
    blame(app("Browser"));
    controller->show();
    controller->view()->save();
    EXPECT_EQ(controller->view()->message(), QString()) << "cancelling is no failure";

    // A folder in the way of the chosen name cannot be replaced.
    const QString blocked = runtime.filePath(QStringLiteral("taken.png"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    makeController(blocked);
    controller->show();
    controller->view()->save();
    EXPECT_EQ(controller->view()->message(), QString::fromUtf8(CardWindowView::failedText));
}

TEST_F(RoastWindowTest, SharingRendersTheCardIntoThePrivateFolder) {
    makeController(std::nullopt);
    blame(app("Browser"));
    controller->show();
    controller->view()->shareButton().click();
    const QString file = runtime.filePath(QStringLiteral("halvrick/Halvrick Roast 2026-03-05.png"));
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(QImage(file).size(), QSize(1200, 1200));
    ASSERT_NE(controller->view()->shareButton().menu(), nullptr);
}

} // namespace
} // namespace halvrick
