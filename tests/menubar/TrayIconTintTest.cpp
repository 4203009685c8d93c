#include "menubar/TrayIconTint.h"

#include "QtTestApp.h"
#include "Xvfb.h"
#include "menubar/TrayIconComposer.h"
#include "ui/Theme.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace halvrick {
namespace {

QPalette themePalette(const QColor& window, const QColor& text) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

class TrayIconTintTest : public XvfbTest {
protected:
    void SetUp() override {
        XvfbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(qtTestAppReady());
        connection_ = xcb_connect(display_.c_str(), &screenNumber_);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }

    void TearDown() override {
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
    }

    xcb_atom_t atom(const std::string& name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    }

    // A tray manager: a window owning the tray selection of the screen, with `colours` (sixteen bits a
    // channel: foreground, error, warning, success) when given.
    xcb_window_t trayManager(const std::optional<std::vector<std::uint32_t>>& colours) {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (colours) {
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom("_NET_SYSTEM_TRAY_COLORS"),
                                XCB_ATOM_CARDINAL, 32, static_cast<std::uint32_t>(colours->size()),
                                colours->data());
        }
        xcb_set_selection_owner(connection_, window,
                                atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber_)), XCB_CURRENT_TIME);
        sync();
        return window;
    }

    void sync() {
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    std::optional<QColor> asked() { return TrayIconTint::advertisedForeground(connection_, screenNumber_); }

    xcb_connection_t* connection_ = nullptr;
    int screenNumber_ = 0;
    xcb_screen_t* screen_ = nullptr;
};

TEST_F(TrayIconTintTest, OnlyATrayManagerThatNamesItsColoursGivesAForeground) {
    EXPECT_EQ(asked(), std::nullopt) << "no tray runs";
    const xcb_window_t plain = trayManager(std::nullopt);
    EXPECT_EQ(asked(), std::nullopt) << "a tray that names no colours (trayer)";
    xcb_destroy_window(connection_, plain);
    trayManager(
        std::vector<std::uint32_t>{0xeeee, 0xeeee, 0xecec, 0xffff, 0, 0, 0xffff, 0x8888, 0, 0, 0xffff, 0});
    EXPECT_EQ(asked(), QColor(0xee, 0xee, 0xec));
}

// The application's theme says nothing of the panel: a dark panel under a light theme (Xfce's default)
// and a light panel under a dark theme both get a monochrome pea that stands out from the panel.
TEST_F(TrayIconTintTest, TheMonochromePeaStandsOutFromDarkAndLightPanelsWhateverTheTheme) {
    struct Case {
        const char* name;
        QColor panel;
        std::vector<std::uint32_t> colours;
        QPalette theme;
    };
    const std::vector<Case> cases{
        {"dark panel, light theme",
         QColor(0x2b, 0x2b, 0x2b),
         {0xdddd, 0xdddd, 0xdddd, 0xffff, 0, 0, 0xffff, 0x8888, 0, 0, 0xffff, 0},
         themePalette(QColor(0xef, 0xef, 0xef), Qt::black)},
        {"light panel, dark theme",
         QColor(0xf6, 0xf5, 0xf4),
         {0x2e2e, 0x3434, 0x3636, 0xcccc, 0, 0, 0xcccc, 0x6666, 0, 0, 0x8888, 0},
         themePalette(QColor(0x2b, 0x2b, 0x2b), QColor(0xee, 0xee, 0xee))},
    };
    MenuBarIcons icons;
    TrayIconComposer composer(icons);
    for (const Case& c : cases) {
        const xcb_window_t manager = trayManager(c.colours);
        const QColor tint = TrayIconComposer::trayTint(c.theme, "XFCE", asked());
        const std::vector<QIcon> frames = composer.frames(
            {PeaFace::heat(HeatState::warm)}, MenuBarDisplay::face, 0, PeaStyle{true, false}, tint);
        ASSERT_EQ(frames.size(), 1u);
        QImage image =
            frames.front().pixmap(QSize(44, 44), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        // The icon as the panel shows it.
        QImage onPanel(image.size(), QImage::Format_ARGB32);
        onPanel.fill(c.panel);
        {
            QPainter painter(&onPanel);
            painter.drawImage(0, 0, image);
        }
        int solid = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y).alpha() == 255) {
                    ++solid;
                    ASSERT_GE(Theme::contrast(onPanel.pixelColor(x, y), c.panel), Theme::minimumContrast)
                        << c.name << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(solid, 100) << c.name;
        xcb_destroy_window(connection_, manager);
    }
}

} // namespace
} // namespace halvrick
