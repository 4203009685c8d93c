#include "ShellTestSupport.h"
#include "core/DisplayText.h"
#include "menubar/BlameList.h"
#include "menubar/BlameRows.h"
#include "menubar/EveningCardView.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "menubar/ReminderBubbleView.h"
#include "ui/ElidedLabel.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QTextDocument>
#include <vector>

namespace halvrick::shelltest {
namespace {

struct HostileName {
    std::string name;
    // As every label shows it.
    QString shown;
};

// Names a process or an application can give itself, and reminder texts a file can hold.
const std::vector<HostileName> hostileNames = {
    {"<b>bold", QStringLiteral("<b>bold")},
    {"<font color=red>red</font>", QStringLiteral("<font color=red>red</font>")},
    {"\u202Eevil", QStringLiteral("evil")},
    {"two\nlines", QStringLiteral("two\uFFFDlines")},
    {"R&D", QStringLiteral("R&D")},
    {"<a href=\"https://x.test\">x</a>", QStringLiteral("<a href=\"https://x.test\">x</a>")},
    {std::string("nul\0cut", 7), QStringLiteral("nul\uFFFDcut")},
    {"line\u2028sep", QStringLiteral("line\uFFFDsep")},
    {"pay\u200Bpal \U0001F469\u200D\U0001F467", QStringLiteral("paypal \U0001F469\u200D\U0001F467")},
    {std::string("\xFF") + "bad", QStringLiteral("\uFFFDbad")},
};

// Every label under `root` is plain text, and one of them reads `expected`.
void expectShownPlainly(const QWidget& root, const QString& expected) {
    bool found = false;
    for (const QLabel* label : root.findChildren<const QLabel*>()) {
        if (label->text().isEmpty()) {
            // An icon.
            continue;
        }
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString() << " in "
                                                       << label->parent()->metaObject()->className();
        for (const char16_t hidden : {u'\0', u'\n', u'\u202E', u'\u2028', u'\u200B'}) {
            EXPECT_FALSE(label->text().contains(QChar(hidden))) << label->text().toStdString();
        }
        // A name cut to fit its row keeps the whole text.
        const auto* elided = qobject_cast<const ElidedLabel*>(label);
        found = found || (elided ? elided->fullText() : label->text()).contains(expected);
    }
    if (const auto* label = qobject_cast<const QLabel*>(&root)) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        found = found || label->text().contains(expected);
    }
    EXPECT_TRUE(found) << expected.toStdString();
}

class ShownTextTest : public ShellTest {};

TEST_F(ShownTextTest, EveryWidgetShowingANameShowsItAsPlainNeutralisedText) {
    for (const HostileName& hostile : hostileNames) {
        SCOPED_TRACE(hostile.name);
        const AppKey key{AppKey::Kind::app, "/usr/share/applications/hostile.desktop", hostile.name};

        BlameRow row(key, model->appDirectory());
        row.refresh(AppShare{key, 0.5}, true, false, false);
        expectShownPlainly(row, hostile.shown);
        const auto* name = dynamic_cast<const ElidedLabel*>(&row.nameLabel());
        ASSERT_NE(name, nullptr);
        // A tooltip that looks like markup is escaped, so it reads as the name.
        if (Qt::mightBeRichText(hostile.shown)) {
            EXPECT_EQ(name->toolTip(), "<qt>" + hostile.shown.toHtmlEscaped() + "</qt>");
        } else {
            EXPECT_EQ(name->toolTip(), hostile.shown);
        }
        row.refresh(AppShare{key, 0.5}, true, true, false);
        expectShownPlainly(row, hostile.shown + " is the hot one. Quit it?");
        // "&" is no shortcut mark in the button's title.
        QString title = row.confirmButton()->text();
        EXPECT_EQ(title.replace(QStringLiteral("&&"), QStringLiteral("&")), "Quit " + hostile.shown);

        SystemPartsView parts;
        parts.refresh({{hostile.name, 0.02}}, ThermalLevel::nominal);
        expectShownPlainly(parts, hostile.shown);

        IgnoredAppsView ignored;
        ignored.refresh({{key.id, hostile.name}});
        expectShownPlainly(ignored, hostile.shown);
    }
}

TEST_F(ShownTextTest, TheEveningCardShowsTheCulpritPlainly) {
    for (const HostileName& hostile : hostileNames) {
        SCOPED_TRACE(hostile.name);
        EveningSummary summary;
        summary.dayKey = "2026-03-05";
        summary.culprit = hostile.name;
        EveningCardView card(summary, *model, [] {});
        expectShownPlainly(card, hostile.shown + " did the most.");
    }
}

TEST_F(ShownTextTest, AnEndlessNameIsCutAndTheSentenceAroundItStillShows) {
    const std::string endless(100000, 'n');
    const QString shown = QString(DisplayText::longestName - 1, QLatin1Char('n')) + QStringLiteral("…");
    const AppKey key{AppKey::Kind::app, "/usr/share/applications/endless.desktop", endless};

    BlameRow row(key, model->appDirectory());
    row.refresh(AppShare{key, 0.5}, true, false, false);
    const auto* name = dynamic_cast<const ElidedLabel*>(&row.nameLabel());
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->fullText(), shown);
    EXPECT_EQ(name->toolTip(), shown);
    row.refresh(AppShare{key, 0.5}, true, true, false);
    expectShownPlainly(row, shown + " is the hot one. Quit it?");
    EXPECT_EQ(row.confirmButton()->text(), "Quit " + shown);

    EveningSummary summary;
    summary.culprit = endless;
    EveningCardView card(summary, *model, [] {});
    expectShownPlainly(card, shown + " did the most.");
}

TEST_F(ShownTextTest, ThePopoverAndTheBubblesShowNamesPlainly) {
    makeController();
    int apps = 0;
    for (const HostileName& hostile : hostileNames) {
        SCOPED_TRACE(hostile.name);
        // A hot machine that blames the hostile application.
        for (int i = 0; i < 30; ++i) {
            world.advance(1);
            model->ingestLoad(95, world.now);
        }
        const AppKey key{AppKey::Kind::app, "/usr/share/applications/" + std::to_string(++apps) + ".desktop",
                         hostile.name};
        model->blame().setIgnoredNames({});
        for (int i = 0; i < 6; ++i) {
            world.advance(2);
            model->ingestProcesses(fakes::processSample(world.now, 2, {{key, 3.5}}));
        }
        ASSERT_TRUE(model->blame().culprit());
        ASSERT_EQ(model->blame().culprit()->app, key);
        PopoverView& popover = controller->popoverView();
        popover.refresh();
        expectShownPlainly(popover.blameLineLabel(), hostile.shown);
        const auto rows = popover.blameList().rows();
        ASSERT_TRUE(rows.contains(key));
        expectShownPlainly(*rows.at(key), hostile.shown);
        // Asked to quit while it has no processes left: the outcome line names it.
        model->blame().setConfirmingQuit(key);
        model->blame().confirmQuit();
        popover.refresh();
        expectShownPlainly(popover.quitMessageLabel(), hostile.shown);

        // The heads-up bubble, and the same text as the popover's card.
        controller->showHeadsUp(hostile.name + " is cooking", PeaFace(), 5);
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::headsUp);
        expectShownPlainly(*controller->bubblePanel().content(), hostile.shown + " is cooking");
        controller->closeBubble();

        // The reminder bubble.
        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-0000000000F1"), hostile.name,
                                         Reminder::Schedule::every(1), true)});
        for (int i = 0; i < 3 && !model->activeReminder(); ++i) {
            world.advance(60);
            model->ingestLoad(5, world.now);
        }
        ASSERT_TRUE(model->activeReminder());
        QCoreApplication::processEvents();
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::reminder);
        expectShownPlainly(*controller->bubblePanel().content(), hostile.shown);
        model->completeReminder();
        settings->setReminders({});
    }
}

} // namespace
} // namespace halvrick::shelltest
