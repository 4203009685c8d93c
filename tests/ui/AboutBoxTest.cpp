#include "ui/AboutBox.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

QStringList labelTexts(const QWidget& box) {
    QStringList texts;
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            texts << label->text();
        }
    }
    return texts;
}

class AboutBoxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(90, 170, 60));
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
    }
    void TearDown() override { QApplication::setWindowIcon(QIcon()); }
};

// The whole title fits where window managers cut a narrow window's title short.
TEST_F(AboutBoxTest, ShowsTheIconNameDescriptionVersionAndLicenceUnderItsWholeTitle) {
    AboutBox& box = AboutBox::present(QStringLiteral("1.2.3"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Halvrick"));
    EXPECT_EQ(labelTexts(box), (QStringList{"Halvrick", QString::fromUtf8(AboutBox::description),
                                            "Version 1.2.3", QString::fromUtf8(AboutBox::licence)}));
    const QImage icon = box.iconLabel().pixmap().toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixelColor(32, 32), QColor(90, 170, 60)) << "the application's own icon";
    EXPECT_GE(box.width(), 360);
    EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160);
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (!label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString() << " is cut";
        }
    }
    EXPECT_EQ(&AboutBox::present(QStringLiteral("1.2.3")), &box) << "one box at a time";
    box.close();
}

TEST_F(AboutBoxTest, WithoutAVersionNoVersionLine) {
    AboutBox box{QString()};
    EXPECT_FALSE(labelTexts(box).join('|').contains(QStringLiteral("Version")));
}

} // namespace
} // namespace halvrick
