#pragma once

// Fixture trees for the process sampler and the application index, built in a private temp folder.

#include "sampling/ApplicationIndex.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace halvrick::fixtures {

namespace fs = std::filesystem;

inline fs::path freshFolder(const std::string& purpose) {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("halvrick-") + purpose + "-" + std::to_string(::getpid()) + "-" +
                       test->test_suite_name() + "-" + test->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    const fs::path root = fs::temp_directory_path() / name;
    fs::remove_all(root);
    fs::create_directories(root);
    return root;
}

inline void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// One process as /proc shows it.
struct FakeProcess {
    std::int32_t pid = 0;
    std::string name;               // comm, raw bytes
    std::optional<std::string> exe; // the exe link's target; none for an unreadable one
    std::uint64_t cpu = 0;          // utime + stime, in ticks
    std::uint64_t start = 1;
    std::uint32_t flags = 0x400000;
    std::uint32_t threads = 1;
    std::optional<std::uint64_t> rssAnonKB = 1000;
    std::optional<std::uint64_t> swapKB = 0;
    std::string cgroup = "0::/user.slice/user-1000.slice/session-2.scope\n";
};

// A /proc tree: the host's stat line and one folder per process.
class ProcTree {
public:
    explicit ProcTree(fs::path root) : root_(std::move(root)) { fs::create_directories(root_); }

    const fs::path& root() const { return root_; }

    void setTicks(std::uint64_t busy, std::uint64_t idle) {
        writeFile(root_ / "stat", "cpu  " + std::to_string(busy) + " 0 0 " + std::to_string(idle) +
                                      " 0 0 0 0 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\n");
    }

    void write(const FakeProcess& p) {
        const fs::path dir = root_ / std::to_string(p.pid);
        fs::create_directories(dir);
        const std::uint64_t utime = p.cpu - p.cpu / 3;
        const std::uint64_t stime = p.cpu / 3;
        std::ostringstream stat;
        stat << p.pid << " (" << p.name << ") S 1 " << p.pid << " " << p.pid << " 0 -1 " << p.flags
             << " 120 0 0 0 " << utime << " " << stime << " 7 9 20 0 " << p.threads << " 0 " << p.start
             << " 1000000 250 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 3 0 0 0 0 0\n";
        writeFile(dir / "stat", stat.str());
        std::ostringstream status;
        status << "Name:\t" << p.name << "\nUmask:\t0022\nState:\tS (sleeping)\nPid:\t" << p.pid << "\n";
        if (p.rssAnonKB) {
            status << "VmRSS:\t    9999 kB\nRssAnon:\t    " << *p.rssAnonKB << " kB\nRssFile:\t    5000 kB\n";
        }
        if (p.swapKB) {
            status << "VmSwap:\t    " << *p.swapKB << " kB\n";
        }
        status << "Threads:\t" << p.threads << "\nCpus_allowed_list:\t0-7\n";
        writeFile(dir / "status", status.str());
        writeFile(dir / "comm", p.name + "\n");
        writeFile(dir / "cgroup", p.cgroup);
        std::error_code ignored;
        fs::remove(dir / "exe", ignored);
        if (p.exe) {
            fs::create_symlink(*p.exe, dir / "exe");
        }
    }

    void remove(std::int32_t pid) { fs::remove_all(root_ / std::to_string(pid)); }
    void removeEntry(std::int32_t pid, const char* entry) { fs::remove(root_ / std::to_string(pid) / entry); }

private:
    fs::path root_;
};

// A real process of our own, running until it is ended.
class RunningProgram {
public:
    explicit RunningProgram(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
    }
    ~RunningProgram() { end(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t pid() const { return pid_; }
    std::string procFolder() const { return "/proc/" + std::to_string(pid_); }
    // The start time field of its stat line, in clock ticks since boot; empty when unreadable.
    std::string startTime() const {
        std::ifstream file(procFolder() + "/stat");
        std::string line;
        std::getline(file, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) {
            return {};
        }
        std::istringstream fields(line.substr(close + 2));
        std::string field;
        // The state is field 3 and the start time field 22 of the line.
        for (int i = 3; i <= 22 && fields >> field; ++i) {
        }
        return field;
    }

    // Ends and reaps it, which frees its pid.
    void end() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

// Installed applications: desktop entries in three data folders (user, flatpak exports, system) and
// their programs below a private filesystem root.
class AppTree {
public:
    explicit AppTree(fs::path root) : root_(std::move(root)) {
        // A browser whose helpers live in its private folder, reached through a /usr/bin link.
        program("/usr/lib/firefox-esr/firefox-esr");
        program("/usr/lib/firefox-esr/crashhelper");
        link("/usr/bin/firefox-esr", "../lib/firefox-esr/firefox-esr");
        entry("system", "firefox-esr.desktop", "Name=Firefox ESR\nName[de]=Feuerfuchs\nExec=firefox-esr %u\n"
                                                "Icon=firefox-esr\n");
        // An editor in /usr/bin.
        program("/usr/bin/gedit");
        entry("system", "org.gnome.gedit.desktop", "Name=Text Editor\nExec=gedit %U\nIcon=org.gnome.gedit\n");
        // A terminal in /usr/bin, whose shells are programs of their own; the user's copy of the entry
        // hides the system's.
        program("/usr/bin/xterm");
        program("/usr/bin/bash");
        entry("system", "xterm.desktop", "Name=XTerm\nExec=xterm\n");
        entry("user", "xterm.desktop", "Name=My Terminal\nExec=xterm\nIcon=utilities-terminal\n");
        // A flatpak, launched through the flatpak program.
        program("/usr/bin/flatpak");
        entry("flatpak", "org.example.Paint.desktop",
              "Name=Paint\nExec=/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=paint "
              "--file-forwarding org.example.Paint @@u %U @@\nX-Flatpak=org.example.Paint\nIcon=org.example.Paint\n");
        // A snap, started through env.
        entry("system", "chromium_chromium.desktop",
              "Name=Chromium\nExec=env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
              "chromium_chromium.desktop /snap/bin/chromium %U\n");
        // A vendor application: bin/ beside lib/, named with a quoted path.
        program("/opt/vendor/app/bin/app");
        program("/opt/vendor/app/lib/helper");
        entry("system", "vendor-app.desktop", "Name=Vendor App\nExec=\"/opt/vendor/app/bin/app\" --new-window\n");
        // A launcher script in /usr/bin whose real program lives in /usr/lib/<name>.
        writeFile(root_ / "fs/usr/bin/thunderbird", "#!/bin/sh\nexec /usr/lib/thunderbird/thunderbird \"$@\"\n");
        makeExecutable("/usr/bin/thunderbird");
        program("/usr/lib/thunderbird/thunderbird");
        entry("system", "thunderbird.desktop", "Name=Thunderbird\nExec=thunderbird %u\n");
        // Two programs in one folder: the folder is theirs together, so neither claims it.
        program("/opt/suite/alpha");
        program("/opt/suite/beta");
        program("/opt/suite/gamma");
        entry("system", "alpha.desktop", "Name=Alpha\nExec=/opt/suite/alpha\n");
        entry("system", "beta.desktop", "Name=Beta\nExec=/opt/suite/beta\n");
        // In the user's own folders: a program among the user's files, and one in its own folder.
        program("/home/user/Applications/tool");
        entry("user", "tool-user.desktop", "Name=User Tool\nExec=/home/user/Applications/tool\n");
        program("/home/user/tools/sketch/sketch");
        program("/home/user/tools/sketch/renderer");
        entry("user", "sketch.desktop", "Name=Sketch\nExec=/home/user/tools/sketch/sketch\n");
        // One program behind several entries: the one without arguments names it.
        program("/usr/lib/office/program/soffice");
        program("/usr/lib/office/program/soffice.bin");
        entry("system", "office-writer.desktop", "Name=Office Writer\nExec=/usr/lib/office/program/soffice --writer %U\n");
        entry("system", "office-start.desktop", "Name=Office\nExec=/usr/lib/office/program/soffice %U\n");
        // Entries that claim nothing.
        program("/usr/bin/hidden");
        entry("system", "hidden.desktop", "Name=Hidden\nExec=hidden\nHidden=true\n");
        program("/usr/bin/handler");
        entry("system", "handler.desktop", "Name=Handler\nExec=handler %u\nNoDisplay=true\n");
        entry("system", "uninstalled.desktop", "Name=Gone\nTryExec=gone\nExec=gedit\n");
        program("/usr/bin/python3.11");
        link("/usr/bin/python3", "python3.11");
        entry("system", "tool.desktop", "Name=Tool\nExec=python3 /usr/share/tool/tool.py\n");
        entry("system", "link.desktop", "Name=Website\nType=Link\nURL=https://example.org\n", false);
        // A name that is not UTF-8.
        program("/usr/bin/weird");
        entry("system", "weird.desktop", "Name=Caf\xE9 Noir\nExec=weird\n");
    }

    ApplicationIndex::Roots roots() const {
        ApplicationIndex::Roots roots;
        roots.dataDirs = {(root_ / "user").string(), (root_ / "flatpak").string(), (root_ / "system").string(),
                          (root_ / "missing").string()};
        roots.path = {"/usr/local/bin", "/usr/bin", "/bin"};
        roots.filesystemRoot = (root_ / "fs").string();
        roots.home = "/home/user";
        return roots;
    }

    std::string entryPath(const std::string& dataDir, const std::string& file) const {
        return (root_ / dataDir / "applications" / file).string();
    }

    void program(const std::string& path) {
        writeFile(root_ / ("fs" + path), "\x7f" "ELF");
        makeExecutable(path);
    }

    void entry(const std::string& dataDir, const std::string& file, const std::string& body, bool application = true) {
        writeFile(root_ / dataDir / "applications" / file,
                  "# written by the test\n[Desktop Entry]\n" + std::string(application ? "Type=Application\n" : "") +
                      body + "\n[Desktop Action new]\nName=New\nExec=ignored\n");
    }

private:
    void makeExecutable(const std::string& path) {
        fs::permissions(root_ / ("fs" + path), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }
    void link(const std::string& path, const std::string& target) {
        fs::create_directories((root_ / ("fs" + path)).parent_path());
        fs::create_symlink(target, root_ / ("fs" + path));
    }

    fs::path root_;
};

} // namespace halvrick::fixtures
