#include "menubar/X11TrayPainter.h"

#include "Xvfb.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include <xcb/xcb.h>

namespace halvrick {
namespace {

// 22 pixels square: `left` on the left half, `right` on the right half.
QIcon halves(const QColor& left, const QColor& right) {
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 11, 22, left);
    painter.fillRect(11, 0, 11, 22, right);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

class X11TrayPainterTest : public XvfbTest {
protected:
    void SetUp() override {
        XvfbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        connection_ = xcb_connect(display_.c_str(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        painter_ = X11TrayPainter::make(connection_);
        ASSERT_NE(painter_, nullptr) << "the server has XRender";
    }

    void TearDown() override {
        painter_.reset();
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
    }

    // A mapped 22-pixel window: of the screen's own visual with a background colour, as a tray slot
    // without alpha, or of `visual` at depth 32, as a slot of a tray that offers alpha.
    xcb_window_t window(std::uint32_t background, std::optional<xcb_visualid_t> visual = std::nullopt) {
        const xcb_window_t id = xcb_generate_id(connection_);
        if (visual) {
            const xcb_colormap_t colormap = xcb_generate_id(connection_);
            xcb_create_colormap(connection_, XCB_COLORMAP_ALLOC_NONE, colormap, screen_->root, *visual);
            const std::uint32_t values[] = {background, 0, colormap};
            xcb_create_window(connection_, 32, id, screen_->root, 0, 0, 22, 22, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, *visual,
                              XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP, values);
        } else {
            const std::uint32_t values[] = {background};
            xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id, screen_->root, 0, 0, 22, 22, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL, values);
        }
        xcb_map_window(connection_, id);
        xcb_flush(connection_);
        return id;
    }

    std::optional<xcb_visualid_t> argbVisual() const {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen_); depth.rem; xcb_depth_next(&depth)) {
            if (depth.data->depth == 32) {
                for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
                     xcb_visualtype_next(&visual)) {
                    if (visual.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
                        return visual.data->visual_id;
                    }
                }
            }
        }
        return std::nullopt;
    }

    // The pixel as the server holds it, 0xAARRGGBB (the top byte means nothing without alpha).
    std::uint32_t pixel(xcb_window_t window, int x, int y) {
        const auto cookie =
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), 1, 1, ~0U);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        EXPECT_NE(reply, nullptr);
        if (reply == nullptr) {
            return 0;
        }
        std::uint32_t value = 0;
        std::memcpy(&value, xcb_get_image_data(reply), sizeof value);
        std::free(reply);
        return value;
    }

    static void expectColour(std::uint32_t actual, std::uint32_t expected, bool withAlpha, const char* what) {
        for (const int shift : {0, 8, 16, 24}) {
            if (shift == 24 && !withAlpha) {
                continue;
            }
            const int a = static_cast<int>((actual >> shift) & 0xff);
            const int e = static_cast<int>((expected >> shift) & 0xff);
            EXPECT_NEAR(a, e, 2) << what << ": channel at bit " << shift << " of " << std::hex << actual;
        }
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    std::unique_ptr<X11TrayPainter> painter_;
};

const QColor red(255, 0, 0);
const QColor halfGreen(0, 255, 0, 128);
const QColor yellow(255, 255, 0);
constexpr std::uint32_t blue = 0x0000ff;

TEST_F(X11TrayPainterTest, AWindowWithoutAlphaShowsEachFrameOverItsBackgroundAndKeepsFramesOnTheServer) {
    const xcb_window_t slot = window(blue);
    const QIcon first = halves(red, halfGreen);
    const QIcon second = halves(yellow, Qt::transparent);

    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, first));
    expectColour(pixel(slot, 5, 10), 0xff0000, false, "opaque half");
    // Half a green over the blue background: 128 of green, 127 of blue left.
    expectColour(pixel(slot, 16, 10), 0x00807f, false, "translucent half");

    // The next frame is not drawn over the last one: its clear half shows the background again.
    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, second));
    expectColour(pixel(slot, 5, 10), 0xffff00, false, "second frame");
    expectColour(pixel(slot, 16, 10), blue, false, "background under a clear half");

    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, first));
    expectColour(pixel(slot, 5, 10), 0xff0000, false, "first frame again");
    EXPECT_EQ(painter_->iconsOnServer(), 2U) << "a frame already on the server is not sent again";
}

TEST_F(X11TrayPainterTest, AWindowWithAlphaTakesTheFramesPixels) {
    const std::optional<xcb_visualid_t> visual = argbVisual();
    if (!visual) {
        GTEST_SKIP() << "the server offers no 32-bit visual";
    }
    const xcb_window_t slot = window(0, visual);
    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, halves(red, halfGreen)));
    expectColour(pixel(slot, 5, 10), 0xffff0000, true, "opaque half");
    expectColour(pixel(slot, 16, 10), 0x80008000, true, "translucent half, premultiplied");
    // Replaced, not laid over: a clear half of the next frame leaves nothing of this one.
    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, halves(yellow, Qt::transparent)));
    expectColour(pixel(slot, 16, 10), 0, true, "clear half of the next frame");
}

TEST_F(X11TrayPainterTest, AResizedOrOtherWindowGetsTheFramesAgainAndAGoneOneNone) {
    const xcb_window_t slot = window(blue);
    const QIcon icon = halves(red, halfGreen);
    ASSERT_TRUE(painter_->show(slot, {22, 22}, 1, icon));

    // The tray gave the slot more room: the frame is drawn again at that size.
    const std::uint32_t size[] = {24, 24};
    xcb_configure_window(connection_, slot, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    ASSERT_TRUE(painter_->show(slot, {24, 24}, 1, icon));
    EXPECT_EQ(painter_->iconsOnServer(), 1U);
    expectColour(pixel(slot, 3, 12), 0xff0000, false, "resized");

    const xcb_window_t other = window(blue);
    ASSERT_TRUE(painter_->show(other, {22, 22}, 1, icon));
    expectColour(pixel(other, 5, 10), 0xff0000, false, "other window");

    xcb_destroy_window(connection_, other);
    const xcb_window_t gone = other;
    ASSERT_TRUE(painter_->show(slot, {24, 24}, 1, icon));
    EXPECT_FALSE(painter_->show(gone, {22, 22}, 1, icon));
    EXPECT_FALSE(painter_->show(0, {22, 22}, 1, icon));
    EXPECT_FALSE(painter_->show(slot, {0, 0}, 1, icon));
    EXPECT_EQ(xcb_connection_has_error(connection_), 0);
}

TEST(X11TrayPainterMakeTest, NoConnectionMakesNoPainter) {
    EXPECT_EQ(X11TrayPainter::make(nullptr), nullptr);
}

} // namespace
} // namespace halvrick
