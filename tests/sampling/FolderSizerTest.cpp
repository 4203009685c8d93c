#include "sampling/FolderSizer.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <optional>
#include <sched.h>
#include <stop_token>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace halvrick {
namespace {

// Removes a tree through descriptors, so paths beyond PATH_MAX and folders of mode 000 go too.
void removeAt(int parent, const char* name) {
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        ::fchmodat(parent, name, 0700, 0);
        const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr) {
            std::vector<std::string> names;
            while (const dirent* entry = ::readdir(dir)) {
                const std::string n = entry->d_name;
                if (n != "." && n != "..") {
                    names.push_back(n);
                }
            }
            for (const std::string& n : names) {
                removeAt(::dirfd(dir), n.c_str());
            }
            ::closedir(dir);
        }
        ::unlinkat(parent, name, AT_REMOVEDIR);
    } else {
        ::unlinkat(parent, name, 0);
    }
}

class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvrick-folders-XXXXXX").string();
        root = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempTree() { removeAt(AT_FDCWD, root.c_str()); }

    std::string path(const std::string& relative) const { return root + "/" + relative; }
    void dir(const std::string& relative, mode_t mode = 0755) const {
        std::filesystem::create_directories(path(relative));
        ::chmod(path(relative).c_str(), mode);
    }
    void file(const std::string& relative, std::size_t bytes) const {
        std::ofstream(path(relative), std::ios::binary) << std::string(bytes, 'x');
    }
    void link(const std::string& target, const std::string& relative) const {
        std::filesystem::create_symlink(target, path(relative));
    }

    std::string root;
};

// Tests usually run as root, whom file modes never stop. The two capabilities that let root past them are
// dropped for one thread only (capset acts on the calling thread), so a folder of mode 000 refuses that
// thread as it refuses an ordinary user. Without root there is nothing to drop.
template <class F> auto asOrdinaryUser(F work) -> decltype(work()) {
    std::optional<decltype(work())> result;
    std::thread worker([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &header, data);
        }
        result = work();
    });
    worker.join();
    return std::move(*result);
}

// Runs `work` in a forked child, whose limits and mounts this process never sees; its exit status.
int inChild(const std::function<int()>& work) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(work());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// 0 when `result` is `expected`; otherwise says what was measured.
int compared(const FolderSizer::Result& result, const FolderSizer::Result& expected) {
    if (result == expected) {
        return 0;
    }
    for (const auto& [key, bytes] : result.sizes) {
        std::fprintf(stderr, "measured %s: %llu bytes\n", key.c_str(),
                     static_cast<unsigned long long>(bytes));
    }
    std::fprintf(stderr, "denied %zu, partly measured %zu\n", result.denied.size(),
                 result.partlyMeasured.size());
    return 1;
}

constexpr int skipped = 77;

bool canList(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir != nullptr) {
        ::closedir(dir);
    }
    return dir != nullptr;
}

TEST(FolderSizerTest, CountsRegularFilesOnlyAndFollowsNoLinks) {
    TempTree tree;
    ASSERT_FALSE(tree.root.empty());
    tree.dir("outside");
    tree.file("outside/big", 5000);
    tree.dir("folder/sub/.cache");
    tree.dir("folder/sub/empty");
    tree.file("folder/a.bin", 1000);
    tree.file("folder/.hidden", 10);
    tree.file("folder/sub/b.bin", 200);
    tree.file("folder/sub/.cache/c", 30);
    tree.file("folder/zero", 0);
    tree.link(tree.path("outside/big"), "folder/link-to-big");
    tree.link(tree.path("outside"), "folder/link-to-outside");
    tree.link(".", "folder/sub/loop"); // a link back to its own folder
    tree.link("pong", "folder/ping");  // two links pointing at each other
    tree.link("ping", "folder/pong");
    tree.link("nowhere", "folder/dangling");
    // Opening a named pipe would block the walk until a writer came.
    ASSERT_EQ(::mkfifo(tree.path("folder/sub/pipe").c_str(), 0644), 0);

    const FolderSizer::Result result =
        FolderSizer::measure({{"documents", "Documents", tree.path("folder")}});
    EXPECT_EQ(result.sizes, (std::map<std::string, std::uint64_t>{{"documents", 1240}}));
    EXPECT_TRUE(result.denied.empty());
}

TEST(FolderSizerTest, MissingEmptyAndLinkedFolders) {
    TempTree tree;
    tree.dir("empty");
    tree.dir("real");
    tree.file("real/f", 64);
    tree.link(tree.path("real"), "linked");
    tree.link(tree.path("gone"), "dangling");
    tree.file("plain-file", 10);
    tree.link("self", "self");
    tree.link(tree.path("pong"), "ping");
    tree.link(tree.path("ping"), "pong");

    const FolderSizer::Result result = FolderSizer::measure({
        {"empty", "Empty", tree.path("empty")},
        {"missing", "Missing", tree.path("missing")},
        {"linked", "Linked", tree.path("linked")}, // the folder itself may be a link
        {"dangling", "Dangling", tree.path("dangling")},
        {"file", "File", tree.path("plain-file")}, // exists but cannot be listed
        {"self", "Self", tree.path("self")},       // link loops are there, and never readable
        {"ping", "Ping", tree.path("ping")},
    });
    EXPECT_EQ(result.sizes, (std::map<std::string, std::uint64_t>{{"empty", 0}, {"linked", 64}}));
    EXPECT_EQ(result.denied, (std::set<std::string>{"file", "self", "ping"}));
    EXPECT_TRUE(result.partlyMeasured.empty());
}

TEST(FolderSizerTest, UnreadableFolders) {
    TempTree tree;
    // Listing refused at the top, although the file inside could be opened by name.
    tree.dir("top");
    tree.file("top/visible", 500);
    ::chmod(tree.path("top").c_str(), 0111);
    // Readable files beside an unreadable subfolder.
    tree.dir("partly/locked");
    tree.file("partly/ok.bin", 300);
    tree.file("partly/locked/secret", 99);
    ::chmod(tree.path("partly/locked").c_str(), 0);
    // Nothing readable at all below the top.
    tree.dir("nothing/locked");
    tree.file("nothing/locked/secret", 99);
    ::chmod(tree.path("nothing/locked").c_str(), 0);

    bool refused = false;
    const FolderSizer::Result result = asOrdinaryUser([&] {
        refused = !canList(tree.path("top")) && !canList(tree.path("partly/locked"));
        return FolderSizer::measure({
            {"top", "Top", tree.path("top")},
            {"partly", "Partly", tree.path("partly")},
            {"nothing", "Nothing", tree.path("nothing")},
        });
    });
    ASSERT_TRUE(refused) << "the folders of mode 000 stayed readable";
    EXPECT_EQ(result.sizes, (std::map<std::string, std::uint64_t>{{"partly", 300}}));
    EXPECT_EQ(result.denied, (std::set<std::string>{"top", "nothing"}));
    EXPECT_EQ(result.partlyMeasured, std::set<std::string>{"partly"});
}

TEST(FolderSizerTest, PathsLongerThanPathMax) {
    TempTree tree;
    tree.dir("deep");
    const std::string segment(200, 'd');
    int fd = ::open(tree.path("deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 25; ++level) {
        ASSERT_EQ(::mkdirat(fd, segment.c_str(), 0755), 0);
        const int next = ::openat(fd, segment.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::write(file, "1234567", 7), 7);
    ::close(file);
    ::close(fd);

    const FolderSizer::Result result = FolderSizer::measure({{"deep", "Deep", tree.path("deep")}});
    EXPECT_EQ(result.sizes, (std::map<std::string, std::uint64_t>{{"deep", 7}}));
    EXPECT_TRUE(result.denied.empty());
}

// Each level holds a file, a side folder with a file and the way down; a huge sparse file sits at the
// bottom. The walk is left five descriptors, far fewer than the levels.
TEST(FolderSizerTest, TreesDeeperThanTheOpenFileLimitAreMeasuredWhole) {
    TempTree tree;
    tree.file("top.bin", 1'000'000);
    constexpr int levels = 40;
    constexpr std::uint64_t bottom = 100ull << 30;
    int fd = ::open(tree.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < levels; ++level) {
        for (const char* side : {"a-side", "z-side"}) {
            ASSERT_EQ(::mkdirat(fd, side, 0755), 0);
            const std::string file = std::string(side) + "/f";
            const int written = ::openat(fd, file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_EQ(::write(written, "0123456789", 10), 10);
            ::close(written);
        }
        ASSERT_EQ(::mkdirat(fd, "down", 0755), 0);
        const int next = ::openat(fd, "down", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::ftruncate(file, static_cast<off_t>(bottom)), 0);
    ::close(file);
    ::close(fd);

    FolderSizer::Result expected;
    expected.sizes["downloads"] = 1'000'000 + levels * 20 + bottom;
    const int status = inChild([&] {
        ::close_range(3, ~0u, 0);
        const rlimit limit{8, 8};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
            return skipped;
        }
        return compared(FolderSizer::measure({{"downloads", "Downloads", tree.root}}), expected);
    });
    EXPECT_EQ(status, 0);
}

// A file system mounted inside the folder is not part of it, and a mount of the folder inside itself leads
// nowhere new. Mounts need a private mount namespace, made in a child (as an unprivileged user too, where
// user namespaces are allowed).
TEST(FolderSizerTest, AWalkStaysOnTheFileSystemOfItsFolder) {
    TempTree tree;
    tree.dir("folder/sub/again");
    tree.dir("folder/elsewhere");
    tree.file("folder/a.bin", 100);
    tree.file("folder/sub/b.bin", 20);

    FolderSizer::Result expected;
    expected.sizes["downloads"] = 120;
    const int status = inChild([&] {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
                return skipped;
            }
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
            std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", tree.path("folder/elsewhere").c_str(), "tmpfs", 0, "size=1m") != 0 ||
            ::mount(tree.path("folder").c_str(), tree.path("folder/sub/again").c_str(), nullptr, MS_BIND,
                    nullptr) != 0) {
            return skipped;
        }
        tree.file("folder/elsewhere/other-disk", 5000);
        // Bounds the walk of a loop that is not caught.
        const rlimit limit{256, 256};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        return compared(FolderSizer::measure({{"downloads", "Downloads", tree.path("folder")}}), expected);
    });
    if (status == skipped) {
        GTEST_SKIP() << "no private mount namespace here";
    }
    EXPECT_EQ(status, 0);
}

TEST(FolderSizerTest, AMeasurementAskedToStopReportsNoFolderItDidNotFinish) {
    TempTree tree;
    tree.dir("a/sub");
    tree.file("a/sub/f", 10);
    tree.dir("b");
    tree.file("b/g", 20);
    const std::vector<FolderSizer::Folder> folders{{"a", "A", tree.path("a")}, {"b", "B", tree.path("b")}};
    std::stop_source source;
    EXPECT_EQ(FolderSizer::measure(folders, source.get_token()).sizes,
              (std::map<std::string, std::uint64_t>{{"a", 10}, {"b", 20}}));

    source.request_stop();
    EXPECT_EQ(FolderSizer::measure(folders, source.get_token()), FolderSizer::Result());
}

TEST(FolderSizerTest, StandardFoldersLeaveOutHomeAndEmptyLocations) {
    using Folder = FolderSizer::Folder;
    EXPECT_EQ(FolderSizer::folders(
                  {"/home/pat", "/home/pat/Downloads", "/home/pat/Desktop", "/home/pat/Documents"}),
              (std::vector<Folder>{{"downloads", "Downloads", "/home/pat/Downloads"},
                                   {"desktop", "Desktop", "/home/pat/Desktop"},
                                   {"documents", "Documents", "/home/pat/Documents"}}));
    // A disabled user folder points at home, in any spelling.
    EXPECT_EQ(FolderSizer::folders({"/home/pat", "/home/pat/", "", "/home/pat/./Docs/"}),
              (std::vector<Folder>{{"documents", "Documents", "/home/pat/Docs"}}));
    EXPECT_TRUE(FolderSizer::folders({"/home/pat", "/home/pat", "/home//pat", ""}).empty());
}

TEST(FolderSizerTest, ThisUsersFolders) {
    const std::string home = QDir::cleanPath(QDir::homePath()).toStdString();
    const auto folders = FolderSizer::folders();
    EXPECT_LE(folders.size(), 3u);
    for (const auto& folder : folders) {
        EXPECT_NE(folder.path, home);
        EXPECT_FALSE(folder.path.empty());
    }
    const FolderSizer::Result result = FolderSizer::measure(folders);
    EXPECT_LE(result.sizes.size() + result.denied.size(), folders.size());
}

} // namespace
} // namespace halvrick
