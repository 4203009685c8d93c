#include "sampling/ApplicationIndex.h"

#include "core/MendedUTF8.h"
#include "storage/XdgPaths.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_set>

namespace halvrick {

namespace {

namespace fs = std::filesystem;

// Desktop files are a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t maximumEntrySize = 256 * 1024;
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

struct DesktopEntry {
    std::map<std::string, std::string, std::less<>> values; // unlocalised keys of [Desktop Entry]

    std::string value(std::string_view key) const {
        const auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
    bool flag(std::string_view key) const { return value(key) == "true"; }
};

// The escapes of string values; other backslashes stay for the Exec quoting rules.
std::string unescapedValue(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        switch (raw[i + 1]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += raw[i]; out += raw[i + 1]; break;
        }
        ++i;
    }
    return out;
}

std::optional<DesktopEntry> readDesktopEntry(const fs::path& file) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > maximumEntrySize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos) {
            continue;
        }
        std::string_view key(line.data(), equals);
        while (!key.empty() && key.back() == ' ') {
            key.remove_suffix(1);
        }
        if (key.empty() || key.find('[') != std::string_view::npos) {
            continue;
        }
        std::string_view value(line);
        value.remove_prefix(equals + 1);
        while (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        entry.values.try_emplace(std::string(key), unescapedValue(value));
    }
    if (!sawMainGroup) {
        return std::nullopt;
    }
    return entry;
}

bool isAssignment(std::string_view token) {
    const std::size_t equals = token.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < equals; ++i) {
        const char c = token[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9')) {
            return false;
        }
    }
    return true;
}

// Exec arguments: blanks separate, double quotes group, a backslash takes the next character as is.
std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
    std::vector<std::string> tokens;
    std::string current;
    bool inToken = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
            inToken = true;
        } else if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            inToken = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inToken) {
                tokens.push_back(std::move(current));
                current.clear();
                inToken = false;
            }
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inQuotes) {
        return std::nullopt;
    }
    if (inToken) {
        tokens.push_back(std::move(current));
    }
    return tokens;
}

// Field codes are the launcher's to fill in; "%%" is a percent sign.
std::optional<std::string> withoutFieldCodes(const std::string& token) {
    static constexpr std::string_view codes = "fFuUdDnNickvm";
    if (token.size() == 2 && token[0] == '%' && codes.find(token[1]) != std::string_view::npos) {
        return std::nullopt;
    }
    if (token == "@@" || token == "@@u" || token == "@@f") { // flatpak's file-forwarding markers
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '%' && i + 1 < token.size()) {
            if (token[i + 1] == '%') {
                out += '%';
            }
            ++i;
        } else {
            out += token[i];
        }
    }
    return out;
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
    const auto entry = readDesktopEntry(file);
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
    const auto command = ApplicationIndex::command(entry->value("Exec"));

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

// systemd escapes unit names: "\x2d" is "-".
std::string unescapedUnit(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const std::string hex(text.substr(i + 2, 2));
            char* end = nullptr;
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += static_cast<char>(code);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<ApplicationIndex::Sandbox> sandboxOfUnit(std::string_view unit) {
    using Sandbox = ApplicationIndex::Sandbox;
    constexpr std::string_view flatpakPrefix = "app-flatpak-";
    constexpr std::string_view scopeSuffix = ".scope";
    if (unit.starts_with(flatpakPrefix) && unit.ends_with(scopeSuffix)) {
        std::string_view id = unit.substr(flatpakPrefix.size(), unit.size() - flatpakPrefix.size() - scopeSuffix.size());
        const std::size_t dash = id.rfind('-');
        if (dash == std::string_view::npos || dash == 0 || dash + 1 == id.size() ||
            id.find_first_not_of("0123456789", dash + 1) != std::string_view::npos) {
            return std::nullopt;
        }
        return Sandbox{Sandbox::Kind::flatpak, unescapedUnit(id.substr(0, dash)), {}};
    }
    constexpr std::string_view snapPrefix = "snap.";
    if (unit.starts_with(snapPrefix)) {
        const std::string_view rest = unit.substr(snapPrefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == 0 || dot == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view app = rest.substr(dot + 1);
        app = app.substr(0, app.find('.'));
        // "snap.<name>.<app>-<uuid>.scope": the uuid is 36 characters.
        constexpr std::size_t uuidLength = 36;
        if (app.size() > uuidLength + 1 && app[app.size() - uuidLength - 1] == '-') {
            app.remove_suffix(uuidLength + 1);
        }
        return Sandbox{Sandbox::Kind::snap, unescapedUnit(rest.substr(0, dot)), unescapedUnit(app)};
    }
    return std::nullopt;
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

ApplicationIndex::Sandbox ApplicationIndex::Sandbox::fromCgroup(std::string_view cgroupText) {
    std::size_t start = 0;
    while (start < cgroupText.size()) {
        const std::size_t end = std::min(cgroupText.find('\n', start), cgroupText.size());
        std::string_view line = cgroupText.substr(start, end - start);
        start = end + 1;
        // "hierarchy:controllers:path"
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        std::string_view path = line.substr(second + 1);
        while (!path.empty()) {
            const std::size_t slash = path.rfind('/');
            const std::string_view unit = slash == std::string_view::npos ? path : path.substr(slash + 1);
            if (auto sandbox = sandboxOfUnit(unit)) {
                return *sandbox;
            }
            path = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
        }
    }
    return {};
}

std::optional<ApplicationIndex::Command> ApplicationIndex::command(std::string_view exec) {
    auto split = splitExec(exec);
    if (!split) {
        return std::nullopt;
    }
    std::vector<std::string> tokens;
    for (const std::string& token : *split) {
        if (auto kept = withoutFieldCodes(token)) {
            tokens.push_back(std::move(*kept));
        }
    }
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (isAssignment(tokens[i])) {
            ++i;
            continue;
        }
        if (baseName(tokens[i]) != "env") {
            break;
        }
        ++i;
        while (i < tokens.size() && tokens[i].starts_with('-')) {
            const std::string option = tokens[i++];
            if (option == "--") {
                break;
            }
            if ((option == "-u" || option == "-C" || option == "--unset" || option == "--chdir") && i < tokens.size()) {
                ++i;
            } else if ((option == "-S" || option == "--split-string") && i < tokens.size()) {
                auto words = splitExec(tokens[i]);
                if (!words) {
                    return std::nullopt;
                }
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
                tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i), words->begin(), words->end());
            }
        }
    }
    if (i >= tokens.size() || tokens[i].empty()) {
        return std::nullopt;
    }
    Command result;
    result.program = tokens[i];
    result.arguments.assign(tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1, tokens.end());
    return result;
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
