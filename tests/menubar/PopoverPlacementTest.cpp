#include "menubar/PopoverPlacement.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace halvrick {
namespace {

using PopoverPlacement::Edge;
using PopoverPlacement::ScreenArea;

// A 1920 x 1080 primary screen with a desktop panel on one side or none.
const QRect full(0, 0, 1920, 1080);
const ScreenArea topPanel{full, QRect(0, 28, 1920, 1052)};
const ScreenArea bottomPanel{full, QRect(0, 0, 1920, 1040)};
const ScreenArea leftPanel{full, QRect(48, 0, 1872, 1080)};
const ScreenArea rightPanel{full, QRect(0, 0, 1872, 1080)};
const ScreenArea noPanel{full, full};
const ScreenArea topAndBottomPanels{full, QRect(0, 28, 1920, 1012)};
// A second screen to the right with its own top panel.
const ScreenArea secondScreen{QRect(1920, 0, 1280, 1024), QRect(1920, 24, 1280, 1000)};

const QSize panel(300, 400);
const QRect trayIcon(1000, 3, 22, 22);

struct Case {
    std::string name;
    PopoverPlacement::Request request;
    QPoint topLeft;
    QRect anchor;
    Edge edge;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

PopoverPlacement::Request request(std::vector<ScreenArea> screens, std::optional<QRect> tray = {},
                                  std::optional<QPoint> cursor = {}, std::optional<QRect> last = {},
                                  QSize size = panel) {
    PopoverPlacement::Request r;
    r.size = size;
    r.trayGeometry = tray;
    r.cursorAtClick = cursor;
    r.lastAnchor = last;
    r.screens = std::move(screens);
    return r;
}

QRect pixel(int x, int y) {
    return QRect(x, y, 1, 1);
}

class PopoverPlacementTest : public ::testing::TestWithParam<Case> {};

TEST_P(PopoverPlacementTest, PlacesThePanel) {
    const Case& c = GetParam();
    const PopoverPlacement::Placement placed = PopoverPlacement::place(c.request);
    EXPECT_EQ(placed.topLeft, c.topLeft);
    EXPECT_EQ(placed.anchor, c.anchor);
    EXPECT_EQ(placed.edge, c.edge);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, PopoverPlacementTest,
    ::testing::Values(
        // Centred under the icon of an XEmbed tray, one gap below it.
        Case{"TrayGeometryOnATopPanel", request({topPanel}, trayIcon), {861, 29}, trayIcon, Edge::top},
        Case{"TrayGeometryWinsOverTheCursor",
             request({topPanel}, trayIcon, QPoint(200, 10), QRect(1500, 3, 22, 22)),
             {861, 29},
             trayIcon,
             Edge::top},
        // A StatusNotifierItem tray reports an empty rectangle.
        Case{"EmptyTrayGeometryFallsToTheCursor",
             request({topPanel}, QRect(0, 0, 0, 0), QPoint(1000, 14)),
             {851, 28},
             pixel(1000, 14),
             Edge::top},
        Case{"CursorOnABottomPanelOpensAbove",
             request({bottomPanel}, {}, QPoint(1000, 1060)),
             {851, 640},
             pixel(1000, 1060),
             Edge::bottom},
        Case{"CursorOnALeftPanelOpensToTheRight",
             request({leftPanel}, {}, QPoint(20, 500)),
             {48, 301},
             pixel(20, 500),
             Edge::left},
        Case{"CursorOnARightPanelOpensToTheLeft",
             request({rightPanel}, {}, QPoint(1900, 500)),
             {1572, 301},
             pixel(1900, 500),
             Edge::right},
        Case{"CursorInTheLowerHalfWithoutReservedSpaceOpensAbove",
             request({noPanel}, {}, QPoint(1000, 1070)),
             {851, 666},
             pixel(1000, 1070),
             Edge::bottom},
        Case{
            "LastAnchorWithoutAClick", request({topPanel}, {}, {}, trayIcon), {861, 29}, trayIcon, Edge::top},
        // A screen that went away: the old anchor places the panel on the primary screen.
        Case{"LastAnchorOnAScreenThatIsGone",
             request({topPanel}, {}, {}, QRect(5000, 10, 22, 22)),
             {1620, 36},
             QRect(5000, 10, 22, 22),
             Edge::top},
        Case{"CornerOfATopPanel", request({topPanel, secondScreen}), {1620, 28}, pixel(1919, 0), Edge::top},
        Case{"CornerOfABottomPanel",
             request({bottomPanel, secondScreen}),
             {1620, 640},
             pixel(1919, 1079),
             Edge::bottom},
        Case{"CornerWithoutPanels", request({noPanel}), {1620, 5}, pixel(1919, 0), Edge::top},
        Case{"CornerWithTopAndBottomPanelsPrefersTheTop",
             request({topAndBottomPanels}),
             {1620, 28},
             pixel(1919, 0),
             Edge::top},
        // Kept on the screen that was clicked, not pulled onto the primary one.
        Case{"SecondScreenClampsToItsOwnArea",
             request({topPanel, secondScreen}, {}, QPoint(3190, 10)),
             {2900, 24},
             pixel(3190, 10),
             Edge::top},
        Case{"TooLargeForTheScreenShowsItsTopLeftCorner",
             request({topPanel}, trayIcon, {}, {}, QSize(2000, 1200)),
             {0, 28},
             trayIcon,
             Edge::top},
        Case{"NoScreensGoesBelowTheAnchorUnclamped",
             request({}, {}, QPoint(5000, 5000)),
             {4851, 5005},
             pixel(5000, 5000),
             Edge::top},
        Case{"NothingKnownAtAll", request({}), {0, 0}, QRect(), Edge::top}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(PopoverPlacementAnchorTest, TheAnchorOfAPlacementPlacesTheNextPanelTheSameWay) {
    const auto first = PopoverPlacement::place(request({bottomPanel}, {}, QPoint(1700, 1065)));
    const auto later = PopoverPlacement::place(request({bottomPanel}, {}, {}, first.anchor));
    EXPECT_EQ(later.topLeft, first.topLeft);
    EXPECT_EQ(later.edge, Edge::bottom);
}

} // namespace
} // namespace halvrick
