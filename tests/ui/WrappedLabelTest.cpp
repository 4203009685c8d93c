#include "ui/WrappedLabel.h"

#include "QtTestApp.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

QString joined(const std::vector<WrappedLabel::Line>& lines) {
    QString text;
    for (const WrappedLabel::Line& line : lines) {
        text += line.text;
    }
    return text;
}

TEST(WrappedLabelTest, LinesStayInsideTheWidthAndEndInAnEllipsisOnlyWhenTextIsLeft) {
    ASSERT_TRUE(qtTestAppReady());
    struct Case {
        const char* name;
        QString text;
        std::optional<int> maximumLines;
        bool cut;
    };
    const QString words = QStringLiteral("walk to the window and back again ").repeated(15);
    const Case cases[] = {
        {"one long word, all lines", QString(500, QLatin1Char('x')), std::nullopt, false},
        {"one long word, three lines", QString(500, QLatin1Char('x')), 3, true},
        {"words, four lines", words, 4, true},
        {"a long word among short ones", "Read " + QString(60, QLatin1Char('w')) + " then rest", 6, false},
        {"fits on its lines", QStringLiteral("Drink water"), 1, false},
        {"empty", QString(), 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WrappedLabel label;
        label.setText(c.text);
        label.setMaximumLines(c.maximumLines);
        label.resize(200, label.heightForWidth(200));
        const std::vector<WrappedLabel::Line> lines = label.shownLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_LE(static_cast<int>(lines.size()), c.maximumLines.value_or(1000));
        for (const WrappedLabel::Line& line : lines) {
            EXPECT_TRUE(line.text.isEmpty() || QRectF(label.rect()).contains(line.rect))
                << line.text.toStdString();
        }
        EXPECT_EQ(lines.back().text.endsWith(QStringLiteral("…")), c.cut) << lines.back().text.toStdString();
        if (!c.cut) {
            EXPECT_EQ(joined(lines), c.text);
        }
        EXPECT_EQ(label.text(), c.text) << "the breaks are only drawn";
        EXPECT_LE(label.minimumSizeHint().width(), 200);
    }
}

TEST(WrappedLabelTest, LessHeightThanTheTextNeedsShowsTheLinesThatFitEndingInAnEllipsis) {
    ASSERT_TRUE(qtTestAppReady());
    WrappedLabel label;
    label.setText(QStringLiteral("walk to the window and back again ").repeated(10));
    const int line = label.fontMetrics().height();
    for (const int lines : {1, 2, 5}) {
        SCOPED_TRACE(lines);
        label.resize(200, lines * line + line / 2);
        const std::vector<WrappedLabel::Line> shown = label.shownLines();
        ASSERT_EQ(static_cast<int>(shown.size()), lines);
        EXPECT_LE(shown.back().rect.bottom(), label.height());
        EXPECT_TRUE(shown.back().text.endsWith(QStringLiteral("…")));
    }
    // Too low even for one line: the first line shows all the same.
    label.resize(200, 2);
    EXPECT_EQ(label.shownLines().size(), 1U);
}

} // namespace
} // namespace halvrick
