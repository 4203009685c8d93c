#include "QtTestSupport.h"
#include "Xvfb.h"
#include "sampling/FullScreenProbe.h"
#include "sampling/X11Display.h"
#include "sampling/X11IdleReader.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

namespace halvrick {
namespace {

TEST(FullScreenGeometryTest, WindowMustBeLessThanOnePixelOffAScreen) {
    struct Case {
        PixelSize window;
        bool full;
    };
    const std::vector<PixelSize> screens{{1440, 900}, {2560, 1440}};
    const Case cases[] = {
        {{1440, 900}, true},    {{1439.5, 899.5}, true}, {{1440.9, 900.9}, true}, {{1439, 900}, false},
        {{1440, 899}, false},   {{1441, 900}, false},    {{2560, 1440}, true},    {{1440, 1440}, false},
        {{2559.2, 1440}, true}, {{800, 600}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fillsAScreen(c.window, screens), c.full) << c.window.width << "x" << c.window.height;
    }
    EXPECT_FALSE(fillsAScreen({1440, 900}, {}));
}

TEST(X11DisplayTest, X11IsUsedOnlyWithADisplayOutsideWayland) {
    EXPECT_FALSE(X11Display::sessionUsesX11(nullptr, "x11"));
    EXPECT_FALSE(X11Display::sessionUsesX11("", "x11"));
    EXPECT_FALSE(X11Display::sessionUsesX11(":0", "wayland"));
    EXPECT_TRUE(X11Display::sessionUsesX11(":0", "x11"));
    EXPECT_TRUE(X11Display::sessionUsesX11(":0", "tty"));
    EXPECT_TRUE(X11Display::sessionUsesX11(":0", nullptr));
}

TEST(X11DisplayTest, MissingDisplayReadsAsNothing) {
    EXPECT_EQ(X11Display::open("/nonexistent/socket:0"), nullptr);
    EXPECT_EQ(X11IdleReader(nullptr).idleSeconds(), std::nullopt);
    EXPECT_FALSE(X11FullScreenProbe(nullptr).isFullScreenAppInFront());
}

class X11FacilitiesTest : public XvfbTest {
protected:
    static void SetUpTestSuite() {
        testApplication();
        XvfbTest::SetUpTestSuite();
    }
};

TEST_F(X11FacilitiesTest, ReadsIdleTimeThroughTheScreenSaverExtension) {
    const std::shared_ptr<X11Display> display = X11Display::open(display_);
    ASSERT_NE(display, nullptr);
    X11IdleReader reader(display);
    const std::optional<double> first = reader.idleSeconds();
    ASSERT_TRUE(first.has_value());
    EXPECT_GE(*first, 0);
    // Nobody types on a virtual server: the idle time only grows.
    const std::optional<double> second = reader.idleSeconds();
    ASSERT_TRUE(second.has_value());
    EXPECT_GE(*second, *first);
}

// Moves the pointer of the given server; false when xdotool failed.
bool movePointer(const std::string& display, int x) {
    QProcess input;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromStdString(display));
    input.setProcessEnvironment(environment);
    input.start(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(x), QStringLiteral("41")});
    return input.waitForFinished(30000) && input.exitStatus() == QProcess::NormalExit &&
           input.exitCode() == 0;
}

// The answer waits here as long as a loaded machine may need; the short wait of the program is tested below.
constexpr double patientWait = 30;

TEST_F(X11FacilitiesTest, AReadingAsksAfreshAndIsReusedWithinAMoment) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    const std::shared_ptr<X11Display> display = X11Display::open(display_);
    ASSERT_NE(display, nullptr);
    double now = 100;
    X11IdleReader reader(
        display, [&] { return now; }, patientWait);
    const std::optional<double> first = reader.idleSeconds();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(reader.readingLag(), 0);

    // Within a moment the answer is carried forward, input or not.
    ASSERT_TRUE(movePointer(display_, 37));
    now += X11IdleReader::reuseDuration / 2;
    EXPECT_EQ(reader.idleSeconds(), *first + X11IdleReader::reuseDuration / 2);
    EXPECT_EQ(reader.readingLag(), X11IdleReader::reuseDuration / 2);

    // After it, the reading tells of that input.
    now = 110;
    const std::optional<double> fresh = reader.idleSeconds();
    ASSERT_TRUE(fresh.has_value());
    EXPECT_LT(*fresh, 5);
    EXPECT_EQ(reader.readingLag(), 0);

    // A clock that went back is no reason to take time off an answer.
    now = 50;
    const std::optional<double> back = reader.idleSeconds();
    ASSERT_TRUE(back.has_value());
    EXPECT_GE(*back, 0);
    EXPECT_EQ(reader.readingLag(), 0);
}

// The question goes out before the reading, whose answer is then as old as that question; it is put
// only when a reading would put it.
TEST_F(X11FacilitiesTest, AQuestionAskedAheadAnswersTheNextReading) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    const std::shared_ptr<X11Display> display = X11Display::open(display_);
    ASSERT_NE(display, nullptr);
    double now = 100;
    X11IdleReader reader(
        display, [&] { return now; }, patientWait);
    reader.askAhead();
    now = 100.125;
    const std::optional<double> first = reader.idleSeconds();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(reader.readingLag(), 0.125);

    // The answer is recent: asking ahead puts no question, and the input after it shows only later.
    ASSERT_TRUE(movePointer(display_, 61));
    reader.askAhead();
    now = 100.1875;
    EXPECT_EQ(reader.idleSeconds(), *first + 0.0625);
    EXPECT_EQ(reader.readingLag(), 0.1875);

    now = 110;
    reader.askAhead();
    now = 110.0625;
    const std::optional<double> fresh = reader.idleSeconds();
    ASSERT_TRUE(fresh.has_value());
    EXPECT_LT(*fresh, 5);
    EXPECT_EQ(reader.readingLag(), 0.0625);
}

// Another client grabs the server, which then answers nobody else: the reading gives the last answer,
// as old as it is, and takes the late one at the next reading.
TEST_F(X11FacilitiesTest, AServerThatDoesNotAnswerInTimeIsNotWaitedFor) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    const std::shared_ptr<X11Display> display = X11Display::open(display_);
    const std::shared_ptr<X11Display> grabber = X11Display::open(display_);
    ASSERT_NE(display, nullptr);
    ASSERT_NE(grabber, nullptr);
    double now = 100;
    X11IdleReader reader(display, [&] { return now; });
    // Xlib's round trip brings in the answer even when the short wait was too short for it.
    reader.idleSeconds();
    XSync(display->handle(), False);
    const std::optional<double> first = reader.idleSeconds();
    ASSERT_TRUE(first.has_value());

    ASSERT_TRUE(movePointer(display_, 53));
    XGrabServer(grabber->handle());
    XSync(grabber->handle(), False);
    now = 110;
    EXPECT_EQ(reader.idleSeconds(), *first + 10);
    EXPECT_EQ(reader.readingLag(), 10);
    now = 110.125;
    EXPECT_EQ(reader.idleSeconds(), *first + 10.125);
    EXPECT_EQ(reader.readingLag(), 10.125);

    XUngrabServer(grabber->handle());
    XSync(grabber->handle(), False);
    XSync(display->handle(), False);
    now = 110.1875;
    const std::optional<double> late = reader.idleSeconds();
    ASSERT_TRUE(late.has_value());
    EXPECT_LT(*late, 5) << "the input before the grab";
    // The late answer is as old as its question, and recent enough to be used without asking again.
    EXPECT_EQ(reader.readingLag(), 0.1875);
}

// Plays the window manager's part: publishes windows and hints the way an EWMH manager would.
class FakeDesktop {
public:
    struct Window {
        long pid;
        int width;
        int height;
        bool mapped = true;
        std::vector<const char*> states = {};
        const char* type = nullptr;
        bool hasPid = true;
    };

    explicit FakeDesktop(const std::string& name) : display_(XOpenDisplay(name.c_str())) {}
    ~FakeDesktop() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    bool isOpen() const { return display_ != nullptr; }

    // Shows the windows, with the one at `active` (if any) in front.
    void show(const std::vector<Window>& windows, int active) {
        clear();
        const ::Window root = DefaultRootWindow(display_);
        for (const Window& w : windows) {
            const ::Window id = XCreateSimpleWindow(display_, root, 0, 0, w.width, w.height, 0, 0, 0);
            if (w.hasPid) {
                setLongs(id, "_NET_WM_PID", XA_CARDINAL, {w.pid});
            }
            std::vector<long> states;
            for (const char* s : w.states) {
                states.push_back(static_cast<long>(atom(s)));
            }
            if (!states.empty()) {
                setLongs(id, "_NET_WM_STATE", XA_ATOM, states);
            }
            if (w.type != nullptr) {
                setLongs(id, "_NET_WM_WINDOW_TYPE", XA_ATOM, {static_cast<long>(atom(w.type))});
            }
            if (w.mapped) {
                XMapWindow(display_, id);
            }
            windows_.push_back(id);
        }
        std::vector<long> list(windows_.begin(), windows_.end());
        setLongs(root, "_NET_CLIENT_LIST", XA_WINDOW, list);
        if (active >= 0) {
            setLongs(root, "_NET_ACTIVE_WINDOW", XA_WINDOW, {static_cast<long>(windows_[active])});
        }
        XSync(display_, False);
    }

    void clear() {
        for (const ::Window id : windows_) {
            XDestroyWindow(display_, id);
        }
        windows_.clear();
        XDeleteProperty(display_, DefaultRootWindow(display_), atom("_NET_CLIENT_LIST"));
        XDeleteProperty(display_, DefaultRootWindow(display_), atom("_NET_ACTIVE_WINDOW"));
        XSync(display_, False);
    }

private:
    Atom atom(const char* name) { return XInternAtom(display_, name, False); }

    void setLongs(::Window window, const char* name, Atom type, const std::vector<long>& values) {
        XChangeProperty(display_, window, atom(name), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values.data()),
                        static_cast<int>(values.size()));
    }

    Display* display_;
    std::vector<::Window> windows_;
};

TEST_F(X11FacilitiesTest, FindsAFullScreenWindowOfTheAppInFront) {
    FakeDesktop desktop(display_);
    ASSERT_TRUE(desktop.isOpen());
    X11FullScreenProbe probe(X11Display::open(display_));

    EXPECT_FALSE(probe.isFullScreenAppInFront()) << "no window manager hints at all";

    struct Scenario {
        const char* name;
        std::vector<FakeDesktop::Window> windows;
        int active;
        bool full;
    };
    const char* fullScreen = "_NET_WM_STATE_FULLSCREEN";
    const Scenario scenarios[] = {
        {"front window fills the screen", {{10, 1024, 768}}, 0, true},
        {"one pixel short", {{10, 1023, 768}}, 0, false},
        {"marked full screen", {{10, 400, 300, true, {fullScreen}}}, 0, true},
        {"no window in front", {{10, 1024, 768}}, -1, false},
        {"another app fills the screen", {{10, 400, 300}, {20, 1024, 768}}, 0, false},
        {"second window of the front app", {{10, 400, 300}, {10, 1024, 768}}, 0, true},
        {"unmapped", {{10, 400, 300}, {10, 1024, 768, false}}, 0, false},
        {"hidden", {{10, 1024, 768, true, {"_NET_WM_STATE_HIDDEN", fullScreen}}}, 0, false},
        {"normal type", {{10, 1024, 768, true, {}, "_NET_WM_WINDOW_TYPE_NORMAL"}}, 0, true},
        {"dock type", {{10, 1024, 768, true, {}, "_NET_WM_WINDOW_TYPE_DOCK"}}, 0, false},
        {"front window without a process", {{10, 1024, 768, true, {}, nullptr, false}}, 0, false},
    };
    for (const Scenario& s : scenarios) {
        desktop.show(s.windows, s.active);
        EXPECT_EQ(probe.isFullScreenAppInFront(), s.full) << s.name;
    }
    desktop.clear();
}

TEST_F(X11FacilitiesTest, VanishedFrontWindowReadsAsNotFullScreen) {
    FakeDesktop desktop(display_);
    ASSERT_TRUE(desktop.isOpen());
    X11FullScreenProbe probe(X11Display::open(display_));
    desktop.show({{10, 1024, 768}}, 0);
    ASSERT_TRUE(probe.isFullScreenAppInFront());
    // The hints still name the destroyed windows: every question about them fails with BadWindow.
    Display* raw = XOpenDisplay(display_.c_str());
    ASSERT_NE(raw, nullptr);
    Window* children = nullptr;
    Window rootReturn = 0;
    Window parent = 0;
    unsigned int count = 0;
    XQueryTree(raw, DefaultRootWindow(raw), &rootReturn, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
        XDestroyWindow(raw, children[i]);
    }
    XFree(children);
    XSync(raw, False);
    XCloseDisplay(raw);
    EXPECT_FALSE(probe.isFullScreenAppInFront());
}

} // namespace
} // namespace halvrick
