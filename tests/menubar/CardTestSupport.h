#pragma once

#include "ShellTestSupport.h"
#include "ui/Announcer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace halvrick::cardtest {

// Keeps every text it is asked to say.
class RecordingAnnouncer : public Announcer {
public:
    void announce(const QString& text) override { said.push_back(text); }
    std::vector<QString> said;
};

// A left click at `point` of `root`, routed as the application routes it: to the widget under the point
// (children that let clicks through are skipped), then up to the parents while nobody accepts it.
inline void click(QWidget& root, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* target = root.childAt(point);
    if (!target) {
        target = &root;
    }
    const QPointF local = target->mapFrom(&root, QPointF(point));
    const QPointF global = root.mapToGlobal(QPointF(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Return as if `focus` had the keyboard focus; keys it ignores travel up to its parents.
inline void pressReturn(QWidget& focus) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&focus, &press);
}

// Shows `view` as its own window, offscreen: a view refreshes only while its window is shown.
inline void showOffscreen(QWidget& view) {
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
}

// A card in a window the way its host shows it: `padding` around it and, when given, the host's width.
class CardHost {
public:
    CardHost(QWidget* card, int padding, std::optional<int> width = std::nullopt) {
        window_.setAttribute(Qt::WA_DontShowOnScreen);
        auto* layout = new QVBoxLayout(&window_);
        layout->setContentsMargins(padding, padding, padding, padding);
        layout->addWidget(card);
        if (width) {
            window_.setFixedWidth(*width);
        }
    }

    // Shows the window offscreen at the size its content asks for: at the host's width, as tall as
    // wrapped text needs there.
    void layOut() {
        window_.show();
        window_.layout()->activate();
        window_.adjustSize();
        if (window_.layout()->hasHeightForWidth()) {
            window_.resize(window_.width(), window_.layout()->totalHeightForWidth(window_.width()));
        }
        window_.layout()->activate();
    }

    // Lays out, then writes the window at scale 2 next to the test program.
    QImage save(const QString& fileName) {
        layOut();
        QImage image(window_.size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(window_.palette().color(QPalette::Window));
        window_.render(&image);
        EXPECT_TRUE(image.save(QCoreApplication::applicationDirPath() + "/" + fileName, "PNG"));
        return image;
    }

    QWidget& window() { return window_; }

private:
    QWidget window_;
};

// A shown label has all the room its text needs, inside the window that holds it.
inline void expectFits(const QLabel& label) {
    SCOPED_TRACE(label.text().toStdString());
    ASSERT_TRUE(label.isVisible());
    if (label.wordWrap()) {
        EXPECT_GE(label.height(), label.heightForWidth(label.width()));
    } else {
        EXPECT_GE(label.width(), label.sizeHint().width());
        EXPECT_GE(label.height(), label.sizeHint().height());
    }
    const QRect inWindow(label.mapTo(label.window(), QPoint(0, 0)), label.size());
    EXPECT_TRUE(label.window()->rect().contains(inWindow));
}

// Whether any pixel of `area` (in points) of an image at scale 2 is opaque and not the background.
inline bool drawsIn(const QImage& image, QRect area, QColor background) {
    for (int y = area.top() * 2; y <= area.bottom() * 2; ++y) {
        for (int x = area.left() * 2; x <= area.right() * 2; ++x) {
            if (image.pixelColor(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

// The model over the fake world, for the cards that read it.
class CardTest : public shelltest::ShellTest {
protected:
    // Moves the fake world on one tick of `seconds` at a low load.
    void tick(double seconds = 1, double load = 5) {
        world.advance(seconds);
        model->ingestLoad(load, world.now);
    }
};

} // namespace halvrick::cardtest
