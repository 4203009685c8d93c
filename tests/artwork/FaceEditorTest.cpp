#include "PeaPixels.h"
#include "QtTestApp.h"
#include "artwork/FaceEditorView.h"
#include "pea/AnimatedPeaView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

class FaceEditorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    template <typename T> T* control(const char* name) {
        T* found = editor.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString valueText(const char* slider) {
        return control<QLabel>((std::string(slider) + " value").c_str())->text();
    }

    FaceEditorView editor;
};

TEST_F(FaceEditorTest, OpensOnChillOverSweatingWithTheChillFaceUnderChillHeat) {
    EXPECT_EQ(control<QComboBox>("State")->currentText(), "Chill");
    EXPECT_EQ(control<QComboBox>("Heat underneath")->currentText(), "Sweating");
    EXPECT_EQ(editor.face(), face(FaceState::chill, HeatState::chill));
    EXPECT_TRUE(control<QCheckBox>("Animate")->isChecked());
    for (AnimatedPeaView* pea : editor.fullPreviews()) {
        EXPECT_EQ(pea->face(), editor.face());
        EXPECT_TRUE(pea->isAnimating());
        EXPECT_EQ(pea->detail(), PeaFace::Detail::full);
    }
    ASSERT_EQ(editor.fullPreviews().size(), 4u);
    EXPECT_EQ(editor.fullPreviews()[0]->size(), QSize(32, 32));
    EXPECT_EQ(editor.fullPreviews()[2]->size(), QSize(96, 96));
    EXPECT_EQ(editor.fullPreviews()[3]->parentWidget()->size(), QSize(240, 240)) << "on its rounded backdrop";
}

TEST_F(FaceEditorTest, PickersListTheMoodsAndTheRawCaseNames) {
    auto* state = control<QComboBox>("State");
    ASSERT_EQ(state->count(), 20);
    EXPECT_EQ(state->itemText(4), "Cooling down");
    auto* heat = control<QComboBox>("Heat underneath");
    EXPECT_EQ((QStringList{heat->itemText(0), heat->itemText(1), heat->itemText(2), heat->itemText(3)}),
              (QStringList{"Chill", "Warm", "Sweating", "Meltdown"}));
    auto* eyes = control<QComboBox>("Eyes");
    ASSERT_EQ(eyes->count(), 8);
    EXPECT_EQ(eyes->itemText(2), "halfClosed");
    auto* accessory = control<QComboBox>("Accessory");
    ASSERT_EQ(accessory->count(), 6);
    EXPECT_EQ(accessory->itemText(2), "sleepMask");
}

TEST_F(FaceEditorTest, APresetReplacesTheFaceAndReloadsEveryControlWithoutWritingBack) {
    control<QSlider>("Blush")->setValue(800);
    ASSERT_EQ(editor.face().blush, 0.8);
    EXPECT_EQ(valueText("Blush"), "0.80");

    control<QComboBox>("State")->setCurrentIndex(static_cast<int>(FaceState::napping));
    const PeaFace napping = face(FaceState::napping, HeatState::sweating);
    EXPECT_EQ(editor.face(), napping) << "manual changes are dropped and the controls do not write back";
    EXPECT_EQ(control<QComboBox>("Eyes")->currentText().toStdString(), toString(napping.eyes));
    EXPECT_EQ(control<QComboBox>("Accessory")->currentText().toStdString(), toString(napping.accessory));
    EXPECT_EQ(control<QSpinBox>("Zs")->value(), napping.sleepZ);
    EXPECT_EQ(control<QLabel>("Zs label")->text(), QStringLiteral("Zs: %1").arg(napping.sleepZ));
    EXPECT_EQ(valueText("Blush"), FaceEditorView::amountText(napping.blush));
    EXPECT_EQ(control<QSlider>("Blush")->value(), qRound(napping.blush * 1000));

    control<QComboBox>("Heat underneath")->setCurrentIndex(rawValue(HeatState::meltdown));
    EXPECT_EQ(editor.face(), face(FaceState::napping, HeatState::meltdown));
    for (AnimatedPeaView* pea : editor.fullPreviews()) {
        EXPECT_EQ(pea->face(), editor.face());
    }
}

TEST_F(FaceEditorTest, EveryPresetSurvivesTheReloadUntouched) {
    auto* state = control<QComboBox>("State");
    auto* heat = control<QComboBox>("Heat underneath");
    for (const HeatState h : allHeatStates) {
        heat->setCurrentIndex(rawValue(h));
        for (const FaceState s : allFaceStates) {
            state->setCurrentIndex(static_cast<int>(s));
            EXPECT_EQ(editor.face(), face(s, h)) << toString(s) << " " << rawValue(h);
        }
    }
}

TEST_F(FaceEditorTest, ChoosingTheSelectedPresetKeepsManualChanges) {
    control<QSlider>("Squash")->setValue(-1000);
    control<QComboBox>("State")->setCurrentIndex(0);
    control<QComboBox>("Heat underneath")->setCurrentIndex(rawValue(HeatState::sweating));
    EXPECT_EQ(editor.face().squash, -1);
    EXPECT_EQ(valueText("Squash"), "-1.00");
}

TEST_F(FaceEditorTest, ValuesReadWithTwoDecimals) {
    EXPECT_EQ(FaceEditorView::amountText(-1), "-1.00");
    EXPECT_EQ(FaceEditorView::amountText(0.5), "0.50");
    EXPECT_EQ(FaceEditorView::amountText(-0.0), "0.00");
    EXPECT_EQ(FaceEditorView::amountText(0.125), "0.12");
    control<QSlider>("Pupils")->setValue(500);
    EXPECT_EQ(valueText("Pupils"), "0.50");
    EXPECT_EQ(editor.face().pupilOffset, 0.5);
}

TEST_F(FaceEditorTest, SteppersStopAtTheirEnds) {
    auto* drops = control<QSpinBox>("Sweat drops");
    auto* zs = control<QSpinBox>("Zs");
    drops->stepBy(10);
    zs->stepBy(10);
    EXPECT_EQ(editor.face().sweatDrops, 4);
    EXPECT_EQ(editor.face().sleepZ, 3);
    EXPECT_EQ(control<QLabel>("Sweat drops label")->text(), "Sweat drops: 4");
    drops->stepBy(-10);
    EXPECT_EQ(editor.face().sweatDrops, 0);
    EXPECT_EQ(control<QLabel>("Sweat drops label")->text(), "Sweat drops: 0");
}

TEST_F(FaceEditorTest, MildCapsChangeWhatIsShownNotTheFace) {
    control<QComboBox>("Eyes")->setCurrentIndex(6);
    control<QSpinBox>("Sweat drops")->setValue(4);
    control<QSlider>("Melt")->setValue(700);
    const PeaFace edited = editor.face();
    ASSERT_EQ(edited.eyes, PeaFace::Eyes::dizzy);

    control<QCheckBox>("Mild caps")->setChecked(true);
    EXPECT_EQ(editor.face(), edited);
    EXPECT_EQ(editor.shownFace().eyes, PeaFace::Eyes::wide);
    EXPECT_LE(editor.shownFace().sweatDrops, 2);
    EXPECT_EQ(editor.shownFace().melt, 0);
    EXPECT_EQ(editor.fullPreviews()[0]->face(), editor.shownFace());
    EXPECT_EQ(control<QComboBox>("Eyes")->currentText(), "dizzy");
    EXPECT_EQ(control<QSpinBox>("Sweat drops")->value(), 4);

    control<QCheckBox>("Mild caps")->setChecked(false);
    EXPECT_EQ(editor.fullPreviews()[0]->face(), edited);
}

TEST_F(FaceEditorTest, OnlyTheBlackTilesPeaIsInvertedAndOnlyInMonochrome) {
    const auto inverted = [this] {
        std::vector<bool> flags;
        for (const MenuBarTile* tile : editor.menuBarTiles()) {
            flags.push_back(tile->drawsInverted());
        }
        return flags;
    };
    control<QCheckBox>("High contrast")->setChecked(true);
    EXPECT_EQ(inverted(), (std::vector<bool>{false, false, false, false}));
    control<QCheckBox>("Monochrome")->setChecked(true);
    EXPECT_EQ(inverted(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(editor.style(), (PeaStyle{true, true}));

    // The inverted pea shows white on black: the body under the tile's centre.
    MenuBarTile* dark = editor.menuBarTiles()[1];
    const QImage picture = dark->grab().toImage();
    EXPECT_TRUE(near(picture.pixelColor(30 - 4, 15 + 3), Qt::white, 60));
    EXPECT_TRUE(near(picture.pixelColor(3, 3), Qt::black));
}

TEST_F(FaceEditorTest, WithAnimateOffThePreviewsHoldTheSetOffsets) {
    control<QCheckBox>("Animate")->setChecked(false);
    control<QSlider>("Drop fall")->setValue(400);
    control<QSlider>("Jitter")->setValue(-250);
    for (AnimatedPeaView* pea : editor.fullPreviews()) {
        EXPECT_FALSE(pea->isAnimating());
        EXPECT_EQ(pea->face().dropFall, 0.4);
        EXPECT_EQ(pea->face().jitter, -0.25);
    }
    EXPECT_EQ(valueText("Jitter"), "-0.25");
}

TEST_F(FaceEditorTest, MonochromePeasShowWherePlacedInTheWindow) {
    editor.resize(1100, 700);
    editor.show();
    control<QCheckBox>("Monochrome")->setChecked(true);
    const QImage window = editor.grab().toImage();
    // The white tile's pea and the 96-point pea: black bodies where the widgets stand, not elsewhere.
    for (auto [widget, side] : {std::pair<QWidget*, double>{editor.menuBarTiles()[0], 18},
                                std::pair<QWidget*, double>{editor.fullPreviews()[2], 96}}) {
        // The left cheek: body, clear of the features cut out of it.
        const QPointF cheek =
            QPointF(widget->mapTo(&editor, QPoint(0, 0))) +
            QPointF(widget->width() / 2.0 - 0.25 * side, widget->height() / 2.0 + 0.12 * side);
        EXPECT_TRUE(near(window.pixelColor(cheek.toPoint()), Qt::black, 40)) << side;
    }
}

} // namespace
} // namespace halvrick
