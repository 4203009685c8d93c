#include "sampling/ApplicationIndex.h"

#include "core/MendedUTF8.h"
#include "sampling/DesktopEntry.h"
#include "storage/XdgPaths.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_set>

namespace halvrick {

namespace {

namespace fs = std::filesystem;

constexpr int maximumSymlinkHops = 40;

// Programs that run something else named by their arguments: their processes cannot be told apart,
// so an entry launching one of them claims no process.
constexpr auto launchers = std::to_array<std::string_view>({
    "sh",   "bash", "dash", "zsh",  "ksh",   "mksh",  "csh",  "tcsh",    "fish",
    "python", "pypy", "perl", "ruby", "node", "nodejs", "java", "mono", "gjs",
    "wine", "lua",  "luajit", "php", "tclsh", "busybox", "pkexec", "sudo"});

// Folders that hold other software's private folders; a program in a shared folder may keep its
// helpers in one of these under its own name.
constexpr auto companionParents =
    std::to_array<std::string_view>({"/usr/lib", "/usr/lib64", "/usr/libexec", "/usr/local/lib", "/opt"});

constexpr auto sharedFolders = std::to_array<std::string_view>({
    "/bin",         "/sbin",          "/usr",           "/usr/bin",          "/usr/sbin",
    "/usr/games",   "/usr/local",     "/usr/local/bin", "/usr/local/sbin",   "/usr/local/games",
    "/usr/lib",     "/usr/lib32",     "/usr/lib64",     "/usr/libexec",      "/usr/local/lib",
    "/usr/local/libexec", "/lib",     "/lib64",         "/usr/share",        "/usr/local/share",
    "/opt",         "/home",          "/snap",          "/snap/bin",         "/var/lib/flatpak/exports/bin",
    "/tmp"});

constexpr auto genericFolderNames =
    std::to_array<std::string_view>({"bin", "sbin", "lib", "lib32", "lib64", "libexec"});

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// "/a/b" -> "/a", "/a" -> "/".
std::string_view parentOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string trimmedSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// "python3.11" -> "python", "wine64" -> "wine".
std::string_view stem(std::string_view name) {
    while (!name.empty() && ((name.back() >= '0' && name.back() <= '9') || name.back() == '.')) {
        name.remove_suffix(1);
    }
    return name;
}

bool isLauncher(std::string_view program) {
    const std::string_view s = stem(baseName(program));
    return std::find(launchers.begin(), launchers.end(), s) != launchers.end() || s == "flatpak" || s == "snap" ||
           s == "env";
}

// Follows every symbolic link of an absolute path as if `root` were "/"; nothing when a component is
// missing or the links loop.
std::optional<std::string> resolveInRoot(const std::string& root, std::string_view path) {
    if (path.empty() || path.front() != '/') {
        return std::nullopt;
    }
    std::vector<std::string> pending; // components still to walk, next one last
    const auto pushComponents = [&pending](std::string_view text) {
        std::vector<std::string> pieces;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t slash = std::min(text.find('/', start), text.size());
            if (slash > start) {
                pieces.emplace_back(text.substr(start, slash - start));
            }
            start = slash + 1;
        }
        pending.insert(pending.end(), pieces.rbegin(), pieces.rend());
    };
    pushComponents(path);
    std::string resolved;
    int hops = 0;
    while (!pending.empty()) {
        const std::string piece = std::move(pending.back());
        pending.pop_back();
        if (piece == ".") {
            continue;
        }
        if (piece == "..") {
            resolved.erase(std::min(resolved.size(), resolved.rfind('/')));
            continue;
        }
        const std::string next = resolved + "/" + piece;
        const std::string onDisk = root + next;
        struct stat info {};
        if (::lstat(onDisk.c_str(), &info) != 0) {
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            resolved = next;
            continue;
        }
        if (++hops > maximumSymlinkHops) {
            return std::nullopt;
        }
        std::array<char, 4096> target{};
        const ssize_t n = ::readlink(onDisk.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
            return std::nullopt;
        }
        const std::string_view link(target.data(), static_cast<std::size_t>(n));
        if (link.front() == '/') {
            resolved.clear();
        }
        pushComponents(link);
    }
    return resolved.empty() ? std::string("/") : resolved;
}

bool isExecutableFile(const std::string& root, const std::string& resolved) {
    struct stat info {};
    return ::stat((root + resolved).c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0;
}

bool isDirectory(const std::string& root, std::string_view resolved) {
    struct stat info {};
    return ::stat((root + std::string(resolved)).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct Program {
    std::string found;    // where the search found it, before links are followed
    std::string resolved; // the file it is
};

std::optional<Program> locateProgram(const ApplicationIndex::Roots& roots, std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> candidates;
    if (name.find('/') != std::string_view::npos) {
        candidates.emplace_back(name);
    } else {
        for (const std::string& dir : roots.path) {
            if (!dir.empty() && dir.front() == '/') {
                candidates.push_back(trimmedSlashes(dir) + "/" + std::string(name));
            }
        }
    }
    for (const std::string& candidate : candidates) {
        if (const auto resolved = resolveInRoot(roots.filesystemRoot, candidate);
            resolved && isExecutableFile(roots.filesystemRoot, *resolved)) {
            return Program{candidate, *resolved};
        }
    }
    return std::nullopt;
}

// The first argument that is not an option, after the subcommand.
std::string firstOperand(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].starts_with('-')) {
            return arguments[i];
        }
    }
    return {};
}

struct Rank {
    bool hasArguments;
    std::size_t dataDir;
    std::size_t idLength;
    std::string path;
    auto operator<=>(const Rank&) const = default;
};

struct Candidate {
    ApplicationIndex::Application application;
    Rank rank;
    std::vector<std::string> stems; // names a companion folder may carry
};

// Folders that hold many programs' files, where no single program's folder can be.
struct SharedFolders {
    std::unordered_set<std::string> folders;
    std::string home;

    bool contain(std::string_view folder) const {
        if (folder.empty() || folder == "/" || folders.contains(std::string(folder))) {
            return true;
        }
        const std::string_view name = baseName(folder);
        const std::string_view parent = parentOf(folder);
        // The user's own folders (~/Applications, ~/Downloads) hold whatever the user put there.
        if (!home.empty() && parent == home) {
            return true;
        }
        if (std::find(genericFolderNames.begin(), genericFolderNames.end(), name) != genericFolderNames.end() &&
            contain(parent)) {
            return true;
        }
        // The multiarch folders such as /usr/lib/x86_64-linux-gnu.
        return (parent == "/usr/lib" || parent == "/lib") && name.find("-linux-") != std::string_view::npos;
    }
};

SharedFolders sharedFoldersOf(const ApplicationIndex::Roots& roots) {
    SharedFolders shared;
    for (std::string_view folder : sharedFolders) {
        shared.folders.emplace(folder);
    }
    for (const std::string& dir : roots.path) {
        shared.folders.insert(trimmedSlashes(dir));
        if (const auto resolved = resolveInRoot(roots.filesystemRoot, dir)) {
            shared.folders.insert(*resolved);
        }
    }
    if (!roots.home.empty()) {
        shared.home = trimmedSlashes(roots.home);
        for (const char* sub : {"", "/.local/bin", "/.local/share", "/.local/lib"}) {
            shared.folders.insert(shared.home + sub);
        }
    }
    return shared;
}

// A folder that belongs to the program alone, or nothing when it sits among others'.
std::optional<std::string> privateFolder(std::string_view program, const SharedFolders& shared) {
    std::string_view folder = parentOf(program);
    if (shared.contain(folder)) {
        return std::nullopt;
    }
    // /opt/vendor/app/bin/app keeps its helpers beside bin/.
    if (baseName(folder) == "bin" && !shared.contain(parentOf(folder))) {
        folder = parentOf(folder);
    }
    return std::string(folder);
}

std::vector<std::string> sortedEntryFiles(const fs::path& applications) {
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator it(applications, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (it->path().extension() == ".desktop" && it->is_regular_file(ignored)) {
            files.push_back(it->path().lexically_relative(applications).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> entryFolders(const fs::path& applications) {
    std::vector<std::string> folders{applications.string()};
    std::error_code error;
    fs::recursive_directory_iterator it(applications, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (it->is_directory(ignored)) {
            folders.push_back(it->path().string());
        }
    }
    return folders;
}

std::optional<Candidate> candidateFor(const ApplicationIndex::Roots& roots, const fs::path& file,
                                      std::size_t dataDir, const std::string& desktopID) {
    const auto entry = DesktopEntry::read(file);
    if (!entry || entry->value("Type") != "Application" || entry->flag("Hidden") || entry->flag("NoDisplay")) {
        return std::nullopt;
    }
    const std::string name = mendedUTF8(entry->value("Name"));
    if (name.empty()) {
        return std::nullopt;
    }
    std::optional<Program> tryExec;
    if (const std::string value = entry->value("TryExec"); !value.empty()) {
        tryExec = locateProgram(roots, value);
        if (!tryExec) {
            return std::nullopt; // not installed
        }
    }
    const auto command = DesktopEntry::command(entry->value("Exec"));

    Candidate candidate;
    ApplicationIndex::Application& app = candidate.application;
    app.key = AppKey(AppKey::Kind::app, file.string(), name);
    app.icon = mendedUTF8(entry->value("Icon"));
    candidate.rank = Rank{command && !command->arguments.empty(), dataDir, desktopID.size(), file.string()};

    app.flatpak = entry->value("X-Flatpak");
    std::string snap;
    if (command) {
        const std::string_view launcher = baseName(command->program);
        const bool runs = !command->arguments.empty() && command->arguments.front() == "run";
        if (launcher == "flatpak" && runs && app.flatpak.empty()) {
            app.flatpak = firstOperand(command->arguments);
        } else if (launcher == "snap" && runs) {
            snap = firstOperand(command->arguments);
        } else if (command->program.starts_with("/snap/bin/")) {
            snap = launcher;
        }
    }
    if (!app.flatpak.empty()) {
        return candidate;
    }
    std::optional<Program> program = command ? locateProgram(roots, command->program) : std::nullopt;
    if (snap.empty() && program && parentOf(program->found) == "/snap/bin") {
        snap = baseName(program->found);
    }
    if (!snap.empty()) {
        const std::size_t dot = snap.find('.');
        app.snap = snap.substr(0, dot);
        app.snapApp = dot == std::string::npos ? app.snap : snap.substr(dot + 1);
        return candidate;
    }
    if (!program) {
        program = tryExec;
    }
    if (!program || isLauncher(program->found) || isLauncher(program->resolved)) {
        return std::nullopt;
    }
    app.program = program->resolved;
    candidate.stems = {std::string(baseName(program->found)), std::string(baseName(program->resolved))};
    return candidate;
}

// Keeps the better-ranked candidate for a key.
void claim(std::map<std::string, std::size_t>& best, const std::string& key, std::size_t index,
           const std::vector<Candidate>& candidates) {
    const auto [it, inserted] = best.try_emplace(key, index);
    if (!inserted && candidates[index].rank < candidates[it->second].rank) {
        it->second = index;
    }
}

std::vector<std::string> splitList(const char* value) {
    std::vector<std::string> items;
    std::stringstream in(value ? value : "");
    std::string item;
    while (std::getline(in, item, ':')) {
        if (!item.empty() && item.front() == '/') {
            items.push_back(trimmedSlashes(item));
        }
    }
    return items;
}

void appendUnique(std::vector<std::string>& list, const std::string& item) {
    if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end()) {
        list.push_back(item);
    }
}

} // namespace

ApplicationIndex::Roots ApplicationIndex::Roots::standard() {
    Roots roots;
    roots.home = trimmedSlashes(QFile::encodeName(XdgPaths::home().value_or(QString())).toStdString());
    appendUnique(roots.dataDirs,
                 trimmedSlashes(QFile::encodeName(XdgPaths::dataHome().value_or(QString())).toStdString()));
    if (!roots.home.empty()) {
        appendUnique(roots.dataDirs, roots.home + "/.local/share/flatpak/exports/share");
    }
    appendUnique(roots.dataDirs, "/var/lib/flatpak/exports/share");
    std::vector<std::string> system = splitList(std::getenv("XDG_DATA_DIRS"));
    if (system.empty()) {
        system = {"/usr/local/share", "/usr/share"};
    }
    for (const std::string& dir : system) {
        appendUnique(roots.dataDirs, dir);
    }
    appendUnique(roots.dataDirs, "/var/lib/snapd/desktop");

    for (const std::string& dir : splitList(std::getenv("PATH"))) {
        appendUnique(roots.path, dir);
    }
    // A desktop started without a login shell may lack these.
    for (const char* dir : {"/usr/local/bin", "/usr/bin", "/bin", "/usr/local/games", "/usr/games", "/snap/bin"}) {
        appendUnique(roots.path, dir);
    }
    return roots;
}

ApplicationIndex ApplicationIndex::build(const Roots& roots) {
    std::vector<Candidate> candidates;
    std::set<std::string> seenIDs;
    std::vector<std::string> watched;
    for (std::size_t d = 0; d < roots.dataDirs.size(); ++d) {
        const fs::path dataDir(trimmedSlashes(roots.dataDirs[d]));
        const fs::path applications = dataDir / "applications";
        std::error_code error;
        if (!fs::is_directory(applications, error)) {
            // Watch the nearest folder that exists, to see the applications folder appear.
            fs::path existing = dataDir;
            while (!existing.empty() && existing != existing.root_path() && !fs::is_directory(existing, error)) {
                existing = existing.parent_path();
            }
            appendUnique(watched, existing.string());
            continue;
        }
        for (const std::string& folder : entryFolders(applications)) {
            appendUnique(watched, folder);
        }
        for (const std::string& relative : sortedEntryFiles(applications)) {
            std::string id = relative;
            std::replace(id.begin(), id.end(), '/', '-');
            if (!seenIDs.insert(id).second) {
                continue; // an earlier folder's entry of the same id hides this one
            }
            if (auto candidate = candidateFor(roots, applications / relative, d, id)) {
                candidates.push_back(std::move(*candidate));
            }
        }
    }

    const SharedFolders shared = sharedFoldersOf(roots);
    std::map<std::string, std::vector<std::size_t>> folderClaims;
    std::map<std::string, std::size_t> rootOwner, flatpakOwner, snapOwner, snapAppOwner;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Application& app = candidates[i].application;
        if (!app.flatpak.empty()) {
            claim(flatpakOwner, app.flatpak, i, candidates);
        } else if (!app.snap.empty()) {
            claim(snapOwner, app.snap, i, candidates);
            claim(snapAppOwner, app.snap + "." + app.snapApp, i, candidates);
        } else if (const auto folder = privateFolder(app.program, shared)) {
            folderClaims[*folder].push_back(i);
        } else {
            for (std::string_view parent : companionParents) {
                for (const std::string& name : candidates[i].stems) {
                    const std::string folder = std::string(parent) + "/" + name;
                    if (isDirectory(roots.filesystemRoot, folder)) {
                        folderClaims[folder].push_back(i);
                    }
                }
            }
        }
        if (!app.program.empty()) {
            claim(rootOwner, app.program, i, candidates);
        }
    }
    // A folder claimed for different programs is shared among them and private to none.
    for (const auto& [folder, claimants] : folderClaims) {
        const bool onlyOneProgram =
            std::all_of(claimants.begin(), claimants.end(), [&, &claimants = claimants](std::size_t c) {
                return candidates[c].application.program == candidates[claimants.front()].application.program;
            });
        if (onlyOneProgram) {
            for (std::size_t c : claimants) {
                claim(rootOwner, folder, c, candidates);
            }
        }
    }

    ApplicationIndex index;
    index.watchedFolders_ = std::move(watched);
    std::vector<std::size_t> position(candidates.size(), SIZE_MAX);
    const auto adopt = [&](std::size_t c) {
        if (position[c] == SIZE_MAX) {
            position[c] = index.applications_.size();
            index.applications_.push_back(candidates[c].application);
        }
        return position[c];
    };
    for (const auto& [root, c] : rootOwner) {
        const std::size_t at = adopt(c);
        index.applications_[at].roots.push_back(root);
        index.byRoot_.emplace(root, at);
    }
    for (const auto& [id, c] : flatpakOwner) {
        index.byFlatpak_.emplace(id, adopt(c));
    }
    for (const auto& [name, c] : snapOwner) {
        index.bySnap_.emplace(name, adopt(c));
    }
    for (const auto& [name, c] : snapAppOwner) {
        index.bySnapApp_.emplace(name, adopt(c));
    }
    return index;
}

const ApplicationIndex::Application* ApplicationIndex::find(const Lookup& lookup, std::string_view key) const {
    const auto it = lookup.find(key);
    return it == lookup.end() ? nullptr : &applications_[it->second];
}

const ApplicationIndex::Application* ApplicationIndex::applicationFor(std::string_view executablePath,
                                                                     const Sandbox& sandbox) const {
    switch (sandbox.kind) {
    case Sandbox::Kind::flatpak:
        // Inside the sandbox the executable's path means nothing on the host.
        return find(byFlatpak_, sandbox.id);
    case Sandbox::Kind::snap:
        if (const Application* app = find(bySnapApp_, sandbox.id + "." + sandbox.app)) {
            return app;
        }
        return find(bySnap_, sandbox.id);
    case Sandbox::Kind::none:
        break;
    }
    constexpr std::string_view snapMount = "/snap/";
    if (executablePath.starts_with(snapMount)) {
        const std::string_view rest = executablePath.substr(snapMount.size());
        if (const Application* app = find(bySnap_, rest.substr(0, rest.find('/')))) {
            return app;
        }
    }
    if (executablePath.empty() || executablePath.front() != '/') {
        return nullptr;
    }
    for (std::string_view path = executablePath; path.size() > 1; path = parentOf(path)) {
        if (const Application* app = find(byRoot_, path)) {
            return app;
        }
    }
    return nullptr;
}

} // namespace halvrick
