#pragma once

#include "core/AppKey.h"
#include "core/AppShare.h"
#include "core/BlameWindow.h"
#include "core/Config.h"
#include "core/Date.h"
#include "core/HeatState.h"
#include "core/MemoryBlamePolicy.h"
#include "core/MemoryPressure.h"
#include "core/PSOutput.h"
#include "core/SystemBreakdown.h"
#include "core/VitalsDay.h"

#include <QObject>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

class SettingsStore;
struct AppServices;
struct ProcessSample;

// Who is heating the machine: the blame window over the process samples, the top applications and the
// culprit with its line, the system's own busy parts, the applications holding the most memory, the quit
// confirmation and the applications the user ignores. Main thread only; views read the getters and
// redraw on the matching signals.
class BlameModel : public QObject {
    Q_OBJECT

public:
    // `services` and `settings` must outlive the model.
    BlameModel(Config config, int coreCount, const AppServices& services, SettingsStore& settings);

    // One process sample: the window moves on, the memory list follows, and the blame is read afresh
    // for `state`.
    void ingest(const ProcessSample& sample, HeatState state);
    // One listing of the system's processes, taken at `at`, while the popover is open.
    void ingestListing(const std::vector<PSRow>& rows, Date at);
    // The machine's memory pressure as last measured; memory is blamed only once it is known.
    void setPressure(MemoryPressure pressure);
    // Reads the top applications, the culprit and its line afresh for `state`; without one, for the
    // state of the last reading.
    void refresh(HeatState state);
    void refresh();

    // The popover's life: a fresh open drops the last question and its outcome, listings restart
    // measuring from nothing, and parts measured before are dropped.
    void clearQuit();
    void restartListings();
    void clearSystemParts();

    const std::vector<AppShare>& topApps() const { return topApps_; }
    const std::optional<AppShare>& culprit() const { return culprit_; }
    const std::string& blameLine() const { return blameLine_; }
    // The line above the rows: memory first, then the system's busiest part, else the culprit's line.
    std::string displayedBlameLine() const;
    // The culprit, else the busiest application that is not the system.
    std::optional<AppShare> roastEntry() const;
    const std::vector<SystemPart>& systemParts() const { return systemParts_; }
    // Without the system's own processes or ignored applications; the largest first.
    const std::vector<AppMemory>& memoryApps() const { return memoryApps_; }
    std::optional<AppMemory> memoryCulprit() const;
    bool isMemoryFull() const;

    const std::optional<AppKey>& confirmingQuit() const { return confirmingQuit_; }
    // The popover asks whether to quit this application.
    void setConfirmingQuit(std::optional<AppKey> app);
    // A row's Quit: the outcome of the last quit goes, and the confirmation moves to `app`.
    void askToQuit(const AppKey& app);
    // Asks the application in confirmingQuit to quit and says how that went.
    void confirmQuit();
    const std::optional<std::string>& quitMessage() const { return quitMessage_; }
    // Asked to quit, or found gone, within the last blame window: its row offers no second quit.
    bool isLeaving(const AppKey& app) const;

    // Application ids the user told the pea to ignore, with their display names.
    const std::map<std::string, std::string>& ignoredNames() const { return ignoredNames_; }
    const std::set<std::string>& ignoredIds() const { return ignoredIds_; }
    // The popover's ignore, un-ignore and clear actions; saveIgnored() makes them last.
    void setIgnoredNames(std::map<std::string, std::string> names);
    // Writes ignoredNames to the user defaults, in the current form only.
    void saveIgnored();

signals:
    void topAppsChanged();
    void culpritChanged();
    void blameLineChanged();
    void confirmingQuitChanged();
    void quitMessageChanged();
    void ignoredNamesChanged();
    void systemPartsChanged();
    void memoryAppsChanged();
    // An application took the request to quit.
    void quitAsked();

private:
    // The measured system parts, each at most the share of the system row they are listed under.
    void publishSystemParts();

    // Assigns and notifies, on every assignment.
    template <typename T, typename V> void publish(T& field, V&& value, void (BlameModel::*changed)()) {
        field = std::forward<V>(value);
        emit(this->*changed)();
    }

    const AppServices& services_;
    SettingsStore& settings_;
    BlameWindow window_;
    SystemBreakdown breakdown_;
    // Memory takes the blame for a cool machine only from an application holding at least 1 GiB.
    MemoryBlamePolicy memoryBlame_{1ULL << 30, HeatState::warm};
    HeatState state_ = HeatState::chill;
    std::optional<MemoryPressure> pressure_;
    std::vector<AppShare> topApps_;
    std::optional<AppShare> culprit_;
    std::string blameLine_;
    std::optional<AppKey> confirmingQuit_;
    std::optional<std::string> quitMessage_;
    std::map<AppKey, std::chrono::steady_clock::time_point> leavingSince_;
    std::map<std::string, std::string> ignoredNames_;
    std::set<std::string> ignoredIds_;
    std::vector<AppMemory> memoryApps_;
    std::vector<SystemPart> systemParts_;
    // The system parts as the listings measured them.
    std::vector<SystemPart> measuredSystemParts_;
    std::map<AppKey, std::vector<std::int32_t>> pidsByApp_;
    std::set<std::int32_t> attributedPIDs_;
};

} // namespace halvrick
