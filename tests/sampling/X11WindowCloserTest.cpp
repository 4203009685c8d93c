#include "sampling/LinuxAppDirectory.h"
#include "sampling/X11WindowCloser.h"

#include "ProcessFixtures.h"
#include "QtTestSupport.h"
#include "Xvfb.h"


#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace halvrick {
namespace {

using fixtures::FakeProcess;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;

constexpr std::int32_t appPID = 4242;
constexpr std::uint64_t appStart = 500;
constexpr std::int32_t otherPID = 4343;
constexpr std::uint64_t otherStart = 600;

// Windows of a test client, and the window manager's part when a test needs one. Everything it
// creates goes with its connection.
class TestDesktop {
public:
    struct Window {
        long pid = appPID; // 0: no _NET_WM_PID
        bool mapped = true;
        bool overrideRedirect = false;
        bool deleteProtocol = true;
        const char* machine = nullptr;
        const char* type = nullptr;
    };

    // A request that reached this client: "WM_DELETE_WINDOW" to the window itself, or
    // "_NET_CLOSE_WINDOW" naming it, to the window manager.
    struct Message {
        unsigned long window;
        std::string what;
        friend bool operator==(const Message&, const Message&) = default;
        friend std::ostream& operator<<(std::ostream& out, const Message& m) {
            return out << m.what << " for " << m.window;
        }
    };

    explicit TestDesktop(const std::string& name) : display_(XOpenDisplay(name.c_str())) {}
    ~TestDesktop() {
        if (display_ == nullptr) {
            return;
        }
        for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_CLIENT_LIST"}) {
            XDeleteProperty(display_, root(), atom(name));
        }
        XCloseDisplay(display_);
    }
    bool isOpen() const { return display_ != nullptr; }

    unsigned long create(const Window& w) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = w.overrideRedirect ? True : False;
        const ::Window id = XCreateWindow(display_, root(), 0, 0, 100, 100, 0, CopyFromParent, InputOutput,
                                          CopyFromParent, CWOverrideRedirect, &attributes);
        if (w.pid != 0) {
            setLongs(id, "_NET_WM_PID", XA_CARDINAL, {w.pid});
        }
        if (w.deleteProtocol) {
            Atom deleteWindow = atom("WM_DELETE_WINDOW");
            XSetWMProtocols(display_, id, &deleteWindow, 1);
        }
        if (w.machine != nullptr) {
            XChangeProperty(display_, id, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(w.machine),
                            static_cast<int>(std::strlen(w.machine)));
        }
        if (w.type != nullptr) {
            setLongs(id, "_NET_WM_WINDOW_TYPE", XA_ATOM, {static_cast<long>(atom(w.type))});
        }
        if (w.mapped) {
            XMapWindow(display_, id);
        }
        XSync(display_, False);
        return id;
    }

    void destroy(unsigned long window) {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }

    // Acts as a window manager that lists `clients` and, when `closes`, takes _NET_CLOSE_WINDOW.
    // Returns its check window.
    unsigned long manage(const std::vector<unsigned long>& clients, bool closes) {
        const ::Window check = XCreateSimpleWindow(display_, root(), -1, -1, 1, 1, 0, 0, 0);
        setLongs(check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {static_cast<long>(check)});
        setLongs(root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {static_cast<long>(check)});
        std::vector<long> supported{static_cast<long>(atom("_NET_CLIENT_LIST"))};
        if (closes) {
            supported.push_back(static_cast<long>(atom("_NET_CLOSE_WINDOW")));
        }
        setLongs(root(), "_NET_SUPPORTED", XA_ATOM, supported);
        setLongs(root(), "_NET_CLIENT_LIST", XA_WINDOW, std::vector<long>(clients.begin(), clients.end()));
        // Requests to the manager arrive as events on the root window.
        XSelectInput(display_, root(), SubstructureRedirectMask);
        XSync(display_, False);
        return check;
    }

    // The requests that reached this client since the last call.
    std::vector<Message> messages() {
        XSync(display_, False);
        std::vector<Message> found;
        XEvent event;
        while (XCheckTypedEvent(display_, ClientMessage, &event)) {
            const std::string type = atomName(event.xclient.message_type);
            std::string what = type;
            if (type == "WM_PROTOCOLS") {
                what = atomName(static_cast<Atom>(event.xclient.data.l[0]));
            } else if (event.xclient.data.l[1] != 2) {
                what += " not on the user's behalf";
            }
            found.push_back({event.xclient.window, what});
        }
        return found;
    }

private:
    ::Window root() const { return DefaultRootWindow(display_); }
    Atom atom(const char* name) { return XInternAtom(display_, name, False); }

    std::string atomName(Atom atom) {
        char* name = XGetAtomName(display_, atom);
        std::string text = name != nullptr ? name : "";
        XFree(name);
        return text;
    }

    void setLongs(::Window window, const char* name, Atom type, const std::vector<long>& values) {
        XChangeProperty(display_, window, atom(name), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values.data()),
                        static_cast<int>(values.size()));
    }

    Display* display_;
};

class X11WindowCloserTest : public XvfbTest {
protected:
    static void SetUpTestSuite() {
        testApplication();
        XvfbTest::SetUpTestSuite();
        if (!display_.empty()) {
            // The server resets whenever its last client leaves, refusing connections meanwhile; the
            // tests come and go, this one stays.
            keepAlive_ = XOpenDisplay(display_.c_str());
        }
    }

    static void TearDownTestSuite() {
        if (keepAlive_ != nullptr) {
            XCloseDisplay(keepAlive_);
            keepAlive_ = nullptr;
        }
        XvfbTest::TearDownTestSuite();
    }

    void SetUp() override {
        XvfbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_NE(keepAlive_, nullptr);
        desktopClient = std::make_unique<TestDesktop>(display_);
        ASSERT_TRUE(desktopClient->isOpen());
        proc.write(FakeProcess{.pid = appPID, .name = "app", .exe = "/usr/bin/app", .start = appStart});
        proc.write(
            FakeProcess{.pid = otherPID, .name = "other", .exe = "/usr/bin/other", .start = otherStart});
    }

    void TearDown() override { fixtures::fs::remove_all(proc.root()); }

    X11WindowCloser closer() const {
        return X11WindowCloser(X11Display::open(display_),
                               std::make_unique<ProcProcessReader>(proc.root().string(), 100.0), "testhost");
    }

    static inline Display* keepAlive_ = nullptr;

    fixtures::ProcTree proc{fixtures::freshFolder("closer")};
    std::unique_ptr<TestDesktop> desktopClient;
    TestDesktop& desktop() { return *desktopClient; }
};

TEST_F(X11WindowCloserTest, WithoutAManagerTheProcessesWindowsOnShowAreAskedToClose) {
    const unsigned long plain = desktop().create({});
    desktop().create({.deleteProtocol = false});
    desktop().create({.pid = otherPID});
    desktop().create({.mapped = false});
    desktop().create({.overrideRedirect = true});
    desktop().create({.machine = "elsewhere"});
    const unsigned long qualified = desktop().create({.machine = "testhost.example.org"});
    desktop().create({.type = "_NET_WM_WINDOW_TYPE_DOCK"});
    desktop().create({.type = "_NET_WM_WINDOW_TYPE_DESKTOP"});
    desktop().create({.pid = 0});

    EXPECT_TRUE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(),
                UnorderedElementsAre(TestDesktop::Message{plain, "WM_DELETE_WINDOW"},
                                     TestDesktop::Message{qualified, "WM_DELETE_WINDOW"}));
}

TEST_F(X11WindowCloserTest, NothingGoesToAReusedPidOrAWindowWithoutTheProtocol) {
    const unsigned long app = desktop().create({});
    desktop().create({.pid = otherPID, .deleteProtocol = false});
    const struct {
        std::vector<RunningApplication> processes;
        bool sent;
        const char* why;
    } cases[] = {
        {{{appPID, appStart + 1}}, false, "the pid now runs a process started later"},
        {{{7777, appStart}}, false, "the process is gone"},
        {{{otherPID, otherStart}}, false, "its window does not take the request"},
        {{}, false, "nobody to ask"},
        {{{otherPID, otherStart}, {appPID, appStart}}, true, "one of two"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(closer().closeWindows(c.processes), c.sent) << c.why;
        if (c.sent) {
            EXPECT_THAT(desktop().messages(), ElementsAre(TestDesktop::Message{app, "WM_DELETE_WINDOW"}))
                << c.why;
        } else {
            EXPECT_THAT(desktop().messages(), IsEmpty()) << c.why;
        }
    }
    EXPECT_FALSE(X11WindowCloser(nullptr).closeWindows({{::getpid(), 0}})) << "no display";
}

TEST_F(X11WindowCloserTest, AManagerIsAskedToCloseItsClients) {
    // A minimised client is still the manager's; a window it does not list is not a client.
    const unsigned long minimised = desktop().create({.mapped = false});
    const unsigned long other = desktop().create({.pid = otherPID});
    desktop().create({});
    desktop().manage({minimised, other}, true);
    EXPECT_TRUE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(), ElementsAre(TestDesktop::Message{minimised, "_NET_CLOSE_WINDOW"}));

    // A manager without _NET_CLOSE_WINDOW: the clients are asked themselves.
    desktop().manage({minimised, other}, false);
    EXPECT_TRUE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(), ElementsAre(TestDesktop::Message{minimised, "WM_DELETE_WINDOW"}));
}

TEST_F(X11WindowCloserTest, HintsOfAManagerThatIsGoneAreIgnored) {
    const unsigned long listed = desktop().create({.mapped = false});
    const unsigned long onShow = desktop().create({});
    desktop().destroy(desktop().manage({listed}, true));
    EXPECT_TRUE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(), ElementsAre(TestDesktop::Message{onShow, "WM_DELETE_WINDOW"}));
}

TEST_F(X11WindowCloserTest, ClientsThatVanishedAreSkipped) {
    const unsigned long gone = desktop().create({});
    const unsigned long live = desktop().create({});
    desktop().manage({gone, live}, false);
    desktop().destroy(gone);
    EXPECT_TRUE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(), ElementsAre(TestDesktop::Message{live, "WM_DELETE_WINDOW"}));

    desktop().manage({gone}, false);
    EXPECT_FALSE(closer().closeWindows({{appPID, appStart}}));
    EXPECT_THAT(desktop().messages(), IsEmpty());
}

// Another program with a window of its own, in plain Xlib: it exits with `closedCode` when asked to close
// its window, and reports "p" for each ping it receives before that.
class ChildWindow {
public:
    static constexpr int closedCode = 42;

    explicit ChildWindow(const std::string& display) {
        int fds[2] = {-1, -1};
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            run(display, fds[1]);
        }
        ::close(fds[1]);
        reports_ = fds[0];
    }
    ~ChildWindow() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (reports_ >= 0) {
            ::close(reports_);
        }
    }
    ChildWindow(const ChildWindow&) = delete;
    ChildWindow& operator=(const ChildWindow&) = delete;

    pid_t pid() const { return pid_; }

    // The window, once the child shows it.
    std::optional<unsigned long> window() {
        char ready[5] = {};
        if (!read(ready, sizeof ready) || ready[0] != 'r') {
            return std::nullopt;
        }
        std::uint32_t id = 0;
        std::memcpy(&id, ready + 1, sizeof id);
        return id;
    }

    bool reportsPing() {
        char report = 0;
        return read(&report, 1) && report == 'p';
    }

    // The exit code once the child has ended, or nothing when it is still running after a while.
    std::optional<int> exitCode() {
        char ignored = 0;
        if (read(&ignored, 1) || !ended_) {
            return std::nullopt;
        }
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) {
            return std::nullopt;
        }
        reaped_ = true;
        return WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
    }

private:
    static constexpr int patienceMilliseconds = 10000;

    // Bytes from the child, waiting at most for the patience; false at its end or when it stays silent.
    bool read(char* into, std::size_t size) {
        std::size_t got = 0;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMilliseconds);
        while (got < size && reports_ >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd wait{reports_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            const ssize_t n = ::read(reports_, into + got, size - got);
            if (n <= 0) {
                ended_ = n == 0;
                return false;
            }
            got += static_cast<std::size_t>(n);
        }
        return got == size;
    }

    [[noreturn]] static void run(const std::string& name, int reports) {
        Display* display = XOpenDisplay(name.c_str());
        if (display == nullptr) {
            ::_exit(10);
        }
        const Window window =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 120, 80, 0, 0, 0);
        const long pid = ::getpid();
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &deleteWindow, 1);
        const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
        const Atom ping = XInternAtom(display, "HALVRICK_TEST_PING", False);
        XMapWindow(display, window);
        XSync(display, False);
        char ready[5] = {'r'};
        const auto id = static_cast<std::uint32_t>(window);
        std::memcpy(ready + 1, &id, sizeof id);
        if (::write(reports, ready, sizeof ready) != sizeof ready) {
            ::_exit(11);
        }
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(2 * patienceMilliseconds);
        for (;;) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type != ClientMessage) {
                    continue;
                }
                if (event.xclient.message_type == protocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
                    ::_exit(closedCode);
                }
                if (event.xclient.message_type == ping && ::write(reports, "p", 1) != 1) {
                    ::_exit(12);
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                ::_exit(13);
            }
            pollfd wait{ConnectionNumber(display), POLLIN, 0};
            ::poll(&wait, 1, static_cast<int>(left.count()));
        }
    }

    pid_t pid_ = -1;
    int reports_ = -1;
    bool ended_ = false;
    bool reaped_ = false;
};

// Events from one client reach another in the order the server handled them: a ping sent after a
// request shows whether the request got there first.
void ping(const std::string& name, unsigned long window) {
    Display* display = XOpenDisplay(name.c_str());
    ASSERT_NE(display, nullptr);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "HALVRICK_TEST_PING", False);
    event.xclient.format = 32;
    // The window is gone when the child has quit already; that shows in its reports, not here.
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
}

TEST_F(X11WindowCloserTest, AnotherProgramIsAskedToQuitThroughItsWindow) {
    // The child runs this test's own program: an application entry for it makes the child an application.
    const fixtures::fs::path data = fixtures::freshFolder("child-entry");
    const std::string program = fixtures::fs::read_symlink("/proc/self/exe").string();
    fixtures::writeFile(data / "applications" / "halvrick-child.desktop",
                        "[Desktop Entry]\nType=Application\nName=Child\nExec=\"" + program + "\"\n");
    ApplicationIndex::Roots roots;
    roots.dataDirs = {data.string()};
    const auto index = std::make_shared<const ApplicationIndex>(ApplicationIndex::build(roots));
    fixtures::fs::remove_all(data);
    ASSERT_EQ(index->applications().size(), 1u);
    const AppKey key = index->applications().front().key;

    ChildWindow child(display_);
    ASSERT_GT(child.pid(), 0);
    const std::optional<unsigned long> window = child.window();
    ASSERT_TRUE(window.has_value()) << "the child shows no window";
    const std::optional<ProcessStat> stat = ProcProcessReader().readStat(child.pid());
    ASSERT_TRUE(stat.has_value());

    X11WindowCloser reused(X11Display::open(display_));
    EXPECT_FALSE(reused.closeWindows({{child.pid(), stat->startTime + 1}}));
    ping(display_, *window);
    EXPECT_TRUE(child.reportsPing()) << "the child got a request meant for another process";

    LinuxAppDirectory directory(
        [index] { return index; },
        LinuxAppDirectory::Sources{{}, std::make_unique<X11WindowCloser>(X11Display::open(display_)), {}});
    EXPECT_THAT(directory.runningApplications(key, {child.pid()}),
                ElementsAre(RunningApplication{child.pid(), stat->startTime}));
    EXPECT_TRUE(directory.quit(key, {child.pid()}));
    EXPECT_EQ(child.exitCode(), ChildWindow::closedCode);
}

} // namespace
} // namespace halvrick
