#include "model/BlameModel.h"

#include "model/AppServices.h"
#include "model/Copy.h"
#include "model/SettingsStore.h"

#include <algorithm>
#include <string_view>

namespace halvrick {

namespace {

// System parts below this share of the machine are noise; at most this many are shown.
constexpr double minimumPartShare = 0.003;
constexpr std::size_t shownPartCount = 3;

constexpr std::string_view bundleSuffix = ".app";

// The last non-empty component of a path; the whole text when it has none.
std::string lastComponent(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) {
        return path;
    }
    const std::size_t slash = path.find_last_of('/', end);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(begin, end + 1 - begin);
}

// In any letter case.
bool endsWithBundleSuffix(std::string_view name) {
    if (name.size() < bundleSuffix.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - bundleSuffix.size());
    return std::equal(tail.begin(), tail.end(), bundleSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::map<std::string, std::string> loadIgnoredNames(const Defaults& defaults) {
    std::map<std::string, std::string> names =
        defaults.getStringMap("ignoredAppNames").value_or(std::map<std::string, std::string>());
    // The older list held ids only; an id is a path, so its last component names the application.
    for (const std::string& id : defaults.getStringList("ignoredApps").value_or(std::vector<std::string>())) {
        if (names.contains(id)) {
            continue;
        }
        std::string name = lastComponent(id);
        if (endsWithBundleSuffix(name)) {
            name.resize(name.size() - bundleSuffix.size());
        }
        names.emplace(id, std::move(name));
    }
    return names;
}

std::set<std::string> idsOf(const std::map<std::string, std::string>& names) {
    std::set<std::string> ids;
    for (const auto& entry : names) {
        ids.insert(ids.end(), entry.first);
    }
    return ids;
}

std::optional<AppShare> firstNonSystem(const std::vector<AppShare>& apps) {
    const auto it = std::find_if(apps.begin(), apps.end(), [](const AppShare& share) {
        return share.app.kind != AppKey::Kind::system;
    });
    return it == apps.end() ? std::nullopt : std::optional(*it);
}

} // namespace

BlameModel::BlameModel(Config config, int coreCount, const AppServices& services, SettingsStore& settings)
    : services_(services), settings_(settings), window_(coreCount, std::move(config)), breakdown_(coreCount),
      blameLine_(Copy::blameLine(std::nullopt, Personality::mild, services.random)),
      ignoredNames_(loadIgnoredNames(*services.defaults)), ignoredIds_(idsOf(ignoredNames_)) {}

void BlameModel::ingest(const ProcessSample& sample, HeatState state) {
    window_.add(sample.cpuSeconds, sample.interval, sample.time);
    std::vector<AppMemory> apps;
    for (const auto& [app, bytes] : sample.footprints) {
        if (app.kind != AppKey::Kind::system && !ignoredIds_.contains(app.id)) {
            apps.emplace_back(app.id, app.displayName, bytes);
        }
    }
    std::sort(apps.begin(), apps.end(), [](const AppMemory& a, const AppMemory& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.name < b.name;
    });
    publish(memoryApps_, std::move(apps), &BlameModel::memoryAppsChanged);
    pidsByApp_ = sample.pids;
    attributedPIDs_ = sample.attributedPIDs;
    refresh(state);
}

void BlameModel::ingestListing(const std::vector<PSRow>& rows, Date at) {
    const std::vector<SystemPart> parts = breakdown_.ingest(rows, attributedPIDs_, at);
    if (parts.empty()) {
        return;
    }
    std::vector<SystemPart> shown;
    for (const SystemPart& part : parts) {
        if (shown.size() == shownPartCount) {
            break;
        }
        if (part.share >= minimumPartShare) {
            shown.push_back(part);
        }
    }
    measuredSystemParts_ = std::move(shown);
    publishSystemParts();
}

void BlameModel::setPressure(MemoryPressure pressure) {
    pressure_ = pressure;
}

void BlameModel::refresh(HeatState state) {
    state_ = state;
    refresh();
}

void BlameModel::refresh() {
    publish(topApps_, window_.topApps(ignoredIds_), &BlameModel::topAppsChanged);
    std::optional<AppShare> next = window_.culprit(state_, ignoredIds_);
    const std::optional<AppKey> app = next ? std::optional(next->app) : std::nullopt;
    const std::optional<AppKey> current = culprit_ ? std::optional(culprit_->app) : std::nullopt;
    // The same application keeps its sentence: a new template only for a new culprit.
    if (app != current) {
        publish(blameLine_, Copy::blameLine(app, settings_.personality(), services_.random),
                &BlameModel::blameLineChanged);
    }
    publish(culprit_, std::move(next), &BlameModel::culpritChanged);
    publishSystemParts();
}

void BlameModel::publishSystemParts() {
    // The system row is measured over the process samples, its parts over the listings: apart, a part
    // can read more than the row it sits under. It shows no more than that row, in the order measured.
    std::vector<SystemPart> parts = measuredSystemParts_;
    const auto system = std::find_if(topApps_.begin(), topApps_.end(), [](const AppShare& entry) {
        return entry.app.kind == AppKey::Kind::system;
    });
    if (system != topApps_.end()) {
        for (SystemPart& part : parts) {
            part.share = std::min(part.share, system->share);
        }
    }
    if (parts != systemParts_) {
        publish(systemParts_, std::move(parts), &BlameModel::systemPartsChanged);
    }
}

void BlameModel::clearQuit() {
    publish(quitMessage_, std::nullopt, &BlameModel::quitMessageChanged);
    publish(confirmingQuit_, std::nullopt, &BlameModel::confirmingQuitChanged);
}

void BlameModel::restartListings() {
    breakdown_.reset();
}

void BlameModel::clearSystemParts() {
    measuredSystemParts_.clear();
    publish(systemParts_, std::vector<SystemPart>(), &BlameModel::systemPartsChanged);
}

std::string BlameModel::displayedBlameLine() const {
    if (const std::optional<AppMemory> hog = memoryCulprit()) {
        return Copy::memoryBlameLine(*hog, settings_.personality());
    }
    if (isMemoryFull()) {
        return "I'm not hot. I'm full. Something is holding too much memory.";
    }
    if (culprit_ && culprit_->app.kind == AppKey::Kind::system && !systemParts_.empty()) {
        return "It's Linux: " + systemParts_.front().name + " is the busy one. Not your apps.";
    }
    return blameLine_;
}

std::optional<AppShare> BlameModel::roastEntry() const {
    return culprit_ ? culprit_ : firstNonSystem(topApps_);
}

std::optional<AppMemory> BlameModel::memoryCulprit() const {
    if (!pressure_ || memoryApps_.empty()) {
        return std::nullopt;
    }
    const AppMemory& top = memoryApps_.front();
    if (!memoryBlame_.blames(top.bytes, state_, *pressure_)) {
        return std::nullopt;
    }
    return top;
}

bool BlameModel::isMemoryFull() const {
    if (!pressure_) {
        return false;
    }
    return memoryBlame_.isFull(state_, *pressure_) || memoryCulprit().has_value();
}

void BlameModel::setConfirmingQuit(std::optional<AppKey> app) {
    publish(confirmingQuit_, std::move(app), &BlameModel::confirmingQuitChanged);
}

void BlameModel::askToQuit(const AppKey& app) {
    // Only applications are asked to quit; processes and the system have no Quit.
    if (app.kind != AppKey::Kind::app) {
        return;
    }
    // The line tells how the last quit went: beside a new question it would read as its answer.
    publish(quitMessage_, std::nullopt, &BlameModel::quitMessageChanged);
    setConfirmingQuit(app);
}

void BlameModel::confirmQuit() {
    if (!confirmingQuit_) {
        return;
    }
    const AppKey app = *confirmingQuit_;
    publish(confirmingQuit_, std::nullopt, &BlameModel::confirmingQuitChanged);
    const auto sampled = pidsByApp_.find(app);
    const std::vector<std::int32_t> pids =
        sampled == pidsByApp_.end() ? std::vector<std::int32_t>() : sampled->second;
    const auto now = services_.monotonic();
    std::erase_if(leavingSince_, [&](const auto& entry) { return !isLeaving(entry.first); });
    // Its processes are gone since the last sample: what the user asked for has happened.
    if (services_.appDirectory->runningApplications(app, pids).empty()) {
        leavingSince_[app] = now;
        publish(quitMessage_, Copy::quitAlreadyGone(app.displayName), &BlameModel::quitMessageChanged);
        return;
    }
    const bool ok = services_.appDirectory->quit(app, pids);
    if (ok) {
        leavingSince_[app] = now;
    }
    publish(quitMessage_,
            ok ? "Asked " + app.displayName + " to leave. Fingers crossed."
               : app.displayName + " didn't want to go. Try quitting it yourself.",
            &BlameModel::quitMessageChanged);
    if (ok) {
        emit quitAsked();
    }
}

bool BlameModel::isLeaving(const AppKey& app) const {
    const auto it = leavingSince_.find(app);
    if (it == leavingSince_.end()) {
        return false;
    }
    // By then the CPU it used before the request has left the blame window: still listed, it still runs.
    const auto elapsed = std::chrono::duration<double>(services_.monotonic() - it->second).count();
    return elapsed >= 0 && elapsed < window_.config().blameWindow;
}

void BlameModel::setIgnoredNames(std::map<std::string, std::string> names) {
    ignoredIds_ = idsOf(names);
    publish(ignoredNames_, std::move(names), &BlameModel::ignoredNamesChanged);
}

void BlameModel::saveIgnored() {
    services_.defaults->batch([this] {
        services_.defaults->setStringMap("ignoredAppNames", ignoredNames_);
        services_.defaults->remove("ignoredApps");
    });
}

} // namespace halvrick
