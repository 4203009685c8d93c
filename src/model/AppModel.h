#pragma once

#include "core/AppKey.h"
#include "core/AppShare.h"
#include "core/Challenges.h"
#include "core/DailyGrade.h"
#include "core/Calendar.h"
#include "core/Config.h"
#include "core/Date.h"
#include "core/FaceState.h"
#include "core/FolderGrowth.h"
#include "core/HeadsUpPolicy.h"
#include "core/HeatBreakTrigger.h"
#include "core/HeatState.h"
#include "core/MachineVitals.h"
#include "core/PeaFace.h"
#include "core/Reminder.h"
#include "core/ReminderScheduler.h"
#include "core/Personality.h"
#include "core/RestCoach.h"
#include "core/RestEvent.h"
#include "core/RestPhase.h"
#include "core/SamplerHealth.h"
#include "core/SweatEngine.h"
#include "core/ThermalLevel.h"
#include "core/VitalsChangeDetector.h"
#include "core/VitalsDay.h"
#include "model/BlameModel.h"
#include "model/ChallengeStore.h"
#include "model/EveningSummary.h"
#include "model/SettingsStore.h"
#include "model/StatsStore.h"
#include "model/VitalsStore.h"

#include <QObject>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

class AppDirectory;
class Defaults;
class NotificationService;
class PresenceTracker;
struct AppServices;
struct ProcessSample;
namespace FolderSizer {
struct Result;
}

// The guided breathing exercise while it runs, and for a moment after it ends.
struct CoolDownState {
    Date startedAt;
    // Seconds since the start, the full length once finished.
    double elapsed = 0;
    bool isFinished = false;

    friend bool operator==(const CoolDownState&, const CoolDownState&) = default;
};

// How the machine's vitals now compare with an earlier moment.
struct VitalsComparison {
    std::string id;
    std::string title;
    VitalsChange change;

    friend bool operator==(const VitalsComparison&, const VitalsComparison&) = default;
};

// The hub of the application: owns the samplers, the core policies and the stores, turns every sample
// into the live state and publishes it; who is to blame is kept by blame(). Main thread only; the
// interface reads the getters and redraws on the matching signals, and reaches the status item through
// the four callbacks.
class AppModel : public QObject {
    Q_OBJECT

public:
    using Services = AppServices;

    AppModel(Config config, SettingsStore& settings, NotificationService& notifier, AppServices services);
    // The real machine.
    AppModel(Config config, SettingsStore& settings, NotificationService& notifier,
             std::shared_ptr<Defaults> defaults);
    ~AppModel() override;
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // Wires the samplers' and the presence tracker's callbacks to the model and starts them. Once.
    void start();

    // Republishes the engine's effective state when it changed.
    void publishState();
    void updateSamplingHealth();
    // Empties both ledgers and writes them at once.
    void resetStats();

    // The main tick: one CPU-load sample, in percent, taken at `at`.
    void ingestLoad(double load, Date at);
    void ingestProcesses(const ProcessSample& sample);
    void ingestVitals(const MachineVitals& vitals);

    // The single place where rest-coach events are booked, shown and spoken.
    void handleRestEvents(const std::vector<RestEvent>& events, bool announceDismissal);
    // Ends a running cool-down without booking a break.
    void stopCoolDown();

    // Faces.
    std::optional<FaceState> overlayState() const;
    // The mild voice caps every expression.
    PeaFace styled(const PeaFace& face) const;
    PeaFace menuBarFace() const;
    std::vector<PeaFace> menuBarFrames() const;
    // Every face of every heat state's tray loop, still or animated, in the current voice: what the tray
    // shows without a mood, so it can be drawn ahead.
    std::vector<PeaFace> menuBarLoopFaces() const;
    // Tells the status item when the tray face changed.
    void refreshMenuFace();
    void updateDisplayOptions(bool reduceMotion, bool increaseContrast);
    PeaFace popoverFaceWithoutStyle() const;
    // Shows `face` for `seconds`, unless a later one replaces it.
    void showMomentary(FaceState face, double seconds);

    // The popover.
    void popoverWillOpen(bool debugUnlocked);
    void popoverDidClose();
    // The popover content as a window that stays open: it counts as open only while someone can see it.
    // Watched again, it reads afresh what it shows; the line and the quit prompt stay as they were.
    void setPopoverWatched(bool watched);
    void refreshWrappedOffer(Date now);
    EveningSummary buildEveningSummary(const std::string& dayKey, Date at) const;

    // Cool-down and announcements.
    void startCoolDown();
    // Says `text` in a bubble and on the popover's card; without a face the popover's own, styled; without a
    // duration the configured one.
    void announce(const std::string& text, const std::optional<PeaFace>& face,
                  std::optional<double> duration);

    // Habits.
    std::optional<DailyGrade> todayGrade(Date now) const;
    std::optional<ChallengeProgress> challengeProgress(Date now) const;
    void startChallenge(ChallengeKind kind, Date now);
    // Brings the published challenge and result in line with the challenge store.
    void syncChallengeStore();
    // Ends a challenge that is won or lost; only an announced result is spoken and notified.
    void evaluateChallenges(Date now, bool announce);
    // Shows the evening card of the last evening that fired, unless it was dismissed.
    void restoreEvening(Date now);
    void dismissEvening();
    // Fires the evening check-in at most once per evening.
    void checkEvening(Date now);
    // Fires the evening check-in now, with no gate and no notification.
    void runEveningCheckNow();
    // The weekly summary was opened today.
    void markWrappedSeen(Date now);
    // Debug: a week of sample days in the stats ledger.
    void seedSampleWeek();
    // Debug: a break challenge started `daysAgo` days ago (1...6) with a break on the `met` latest of them.
    void seedChallengeForDebug(int daysAgo, int met);

    // Folders.
    void refreshFolders(Date now);
    // Automatic measuring starts only once the folders were measured by hand; it then repeats after six
    // hours. One measurement at a time, forced or not.
    void measureFoldersIfNeeded(Date now, bool force, bool automatic);
    bool hasMeasuredFoldersToday() const;
    std::map<std::string, std::uint64_t> folderSizesToday() const;
    // Free storage changed a lot although none of the measured folders did.
    bool storageMovedElsewhere() const;

    // The vitals window.
    std::vector<VitalsComparison> vitalsComparisons(Date now) const;
    std::map<std::string, std::uint64_t> yesterdayMemoryPeaks() const;

    // Small actions.
    // A heads-up as if the machine were melting down.
    void showTestHeadsUp();
    // The mascot was clicked.
    void pokePea();

    // Hands the settings to the collaborators: once when made, then whenever a setting changes.
    void applySettings();

    // Reminders: one shown at a time, the rest wait in the order they came due.
    void showNextReminder();
    void completeReminder();
    // Brings the shown reminder back in ten minutes and shows the next one.
    void snoozeReminder();
    // The status item put the active reminder on screen: a notification sent while it could not is
    // taken down, so that the two do not lie on top of each other.
    void activeReminderShown();
    // A new idle line for the state, never the one on show while another is left.
    void refreshLine();

    // Published state.
    HeatState state() const { return state_; }
    double score() const { return score_; }
    double cpuLoad() const { return cpuLoad_; }
    ThermalLevel thermal() const { return thermal_; }
    // Without a sensor the level reads nominal, which says nothing about temperature.
    bool thermalSensed() const;
    const std::string& line() const { return line_; }
    std::optional<HeatState> forcedState() const { return forcedState_; }
    // A debug override of the heat state; none follows the engine again.
    void setForcedState(std::optional<HeatState> state);
    // This application's own CPU, as a share of every core.
    double ownShare() const { return ownShare_; }
    RestPhase restPhase() const { return restPhase_; }
    std::optional<double> restRemaining() const { return restRemaining_; }
    const std::optional<std::string>& suppressionNote() const { return suppressionNote_; }
    std::optional<FaceState> momentaryFace() const { return momentaryFace_; }
    bool isDozing() const { return isDozing_; }
    bool isPopoverOpen() const { return isPopoverOpen_; }
    bool reduceMotion() const { return reduceMotion_; }
    bool increaseContrast() const { return increaseContrast_; }
    bool samplingFailed() const { return samplingFailed_; }
    bool simulatingSamplerFailure() const { return simulatingSamplerFailure_; }
    void setSimulatingSamplerFailure(bool simulating);
    const std::optional<Reminder>& activeReminder() const { return activeReminder_; }
    const std::vector<Reminder>& reminderQueue() const { return reminderQueue_; }
    const std::optional<ActiveChallenge>& activeChallenge() const { return activeChallenge_; }
    const std::optional<ChallengeResult>& challengeResult() const { return challengeResult_; }
    const std::optional<EveningSummary>& eveningSummary() const { return eveningSummary_; }
    const std::optional<CoolDownState>& coolDown() const { return coolDown_; }
    const std::optional<MachineVitals>& machine() const { return machine_; }
    const std::vector<FolderGrowth>& folderGrowth() const { return folderGrowth_; }
    const std::vector<FolderGrowth>& folderComparisons() const { return folderComparisons_; }
    const std::vector<FolderTrend>& folderTrends() const { return folderTrends_; }
    bool isMeasuringFolders() const { return isMeasuringFolders_; }
    bool folderAccessDenied() const { return folderAccessDenied_; }
    const std::set<std::string>& folderDenied() const { return folderDenied_; }
    // Folders of the last measurement whose size leaves out something that could not be measured.
    const std::set<std::string>& folderPartlyMeasured() const { return folderPartlyMeasured_; }
    const std::optional<std::string>& headsUpMessage() const { return headsUpMessage_; }
    const std::string& debugReadout() const { return debugReadout_; }
    bool debugUnlocked() const { return debugUnlocked_; }
    bool wrappedReady() const { return wrappedReady_; }

    const Config& config() const { return config_; }
    SettingsStore& settings() { return settings_; }
    ChallengeStore& challenges() { return *challenges_; }
    StatsStore& stats() { return *stats_; }
    const StatsStore& stats() const { return *stats_; }
    VitalsStore& vitals() { return *vitals_; }
    const VitalsStore& vitals() const { return *vitals_; }
    RestCoach& coach() { return *coach_; }
    const RestCoach& coach() const { return *coach_; }
    AppDirectory& appDirectory();
    const SweatEngine& engine() const { return engine_; }
    BlameModel& blame() { return blame_; }
    const BlameModel& blame() const { return blame_; }
    const HeatBreakTrigger& heatBreak() const { return heatBreak_; }
    const HeadsUpPolicy& headsUp() const { return headsUp_; }
    const PresenceTracker& presence() const { return *presence_; }
    bool logsSamples() const { return logsSamples_; }
    std::optional<double> debugRestInterval() const { return debugRestInterval_; }
    // A rest interval in seconds that overrides the user's (the debug menu's); none follows the settings
    // again. Takes effect at the next applySettings().
    void setDebugRestInterval(std::optional<double> seconds) { debugRestInterval_ = seconds; }

    // The status item's; each is called only when set.
    std::function<void(const PeaFace& face)> onMenuFaceChange;
    std::function<void(const std::string& text, const PeaFace& face, double duration)> onHeadsUp;
    std::function<void(RestPhase phase)> onRestPhaseChange;
    std::function<void()> onReminder;
    // Whether the status item shows the active reminder itself now (its bubble, or the popover's card).
    // A reminder is also sent as a notification only while it does not: the server's popup would lie
    // over the bubble's buttons.
    std::function<bool()> showsActiveReminder;
    // The same for the rest prompt: its bubble, or the popover headed by the prompt.
    std::function<bool()> showsRestPrompt;

signals:
    void stateChanged();
    void scoreChanged();
    void cpuLoadChanged();
    void thermalChanged();
    void lineChanged();
    void forcedStateChanged();
    void ownShareChanged();
    void restPhaseChanged();
    void restRemainingChanged();
    void suppressionNoteChanged();
    void momentaryFaceChanged();
    void isDozingChanged();
    void isPopoverOpenChanged();
    void displayOptionsChanged();
    void samplingFailedChanged();
    void simulatingSamplerFailureChanged();
    void activeReminderChanged();
    void activeChallengeChanged();
    void challengeResultChanged();
    void eveningSummaryChanged();
    void coolDownChanged();
    void machineChanged();
    void folderGrowthChanged();
    void folderComparisonsChanged();
    void folderTrendsChanged();
    void isMeasuringFoldersChanged();
    void folderAccessDeniedChanged();
    void folderDeniedChanged();
    void folderPartlyMeasuredChanged();
    void headsUpMessageChanged();
    void debugReadoutChanged();
    void debugUnlockedChanged();
    void wrappedReadyChanged();
    // Debug sample data went into the stats ledger.
    void statsSeeded();

private:
    void recordTime(Date now);
    void recordApps(const ProcessSample& sample);
    void updateDebugReadout(Date now);
    // After booking into the stats ledger: dirty, pruned on a new day, saved once a minute.
    void statsChanged(Date now);
    void presenceLost();
    void queueDueReminders(Date now, bool present, bool suppressed);
    // A shown or waiting reminder that the list no longer holds as it was (deleted, disabled, edited)
    // is taken back.
    void withdrawChangedReminders();
    // At most once a minute.
    void checkHabits(Date now);
    void handleChallengeResult(const ChallengeResult& result);
    void foldersMeasured(const FolderSizer::Result& result);
    // Books a seeded day's changes the way a tick does.
    void seededStatsChanged(Date day);
    // Sets the fired day, clears a dismissal, shows the card and says so.
    void fireEvening(const std::string& dayKey, Date now);
    bool isPresent();
    void tickCoolDown(std::uint64_t task);
    void finishCoolDown();
    // One HALVRICK_LOG line, stamped with `at` (or now) in the user's zone.
    void log(const std::string& line) const;
    void log(const std::string& line, Date at) const;
    // The user's rest interval in minutes, as the settings read it, in seconds.
    static double restIntervalSeconds(std::int64_t minutes);
    static std::optional<std::string> suppressionNoteFor(std::optional<SuppressionReason> reason);

    // Assigns and notifies, on every assignment.
    template <typename T, typename V> void publish(T& field, V&& value, void (AppModel::*changed)()) {
        field = std::forward<V>(value);
        emit(this->*changed)();
    }

    // Published.
    HeatState state_ = HeatState::chill;
    double score_ = 0;
    double cpuLoad_ = 0;
    ThermalLevel thermal_ = ThermalLevel::nominal;
    std::string line_;
    std::optional<HeatState> forcedState_;
    double ownShare_ = 0;
    RestPhase restPhase_ = RestPhase::idle;
    std::optional<double> restRemaining_;
    std::optional<std::string> suppressionNote_;
    std::optional<FaceState> momentaryFace_;
    bool isDozing_ = false;
    bool isPopoverOpen_ = false;
    bool reduceMotion_ = false;
    bool increaseContrast_ = false;
    bool samplingFailed_ = false;
    bool simulatingSamplerFailure_ = false;
    std::optional<Reminder> activeReminder_;
    std::optional<ActiveChallenge> activeChallenge_;
    std::optional<ChallengeResult> challengeResult_;
    std::optional<EveningSummary> eveningSummary_;
    std::optional<CoolDownState> coolDown_;
    std::optional<MachineVitals> machine_;
    std::vector<FolderGrowth> folderGrowth_;
    std::vector<FolderGrowth> folderComparisons_;
    std::vector<FolderTrend> folderTrends_;
    bool isMeasuringFolders_ = false;
    bool folderAccessDenied_ = false;
    std::set<std::string> folderDenied_;
    std::set<std::string> folderPartlyMeasured_;
    std::optional<std::string> headsUpMessage_;
    std::string debugReadout_;
    bool debugUnlocked_ = false;
    bool wrappedReady_ = false;

    // Collaborators and bookkeeping.
    Config config_;
    SettingsStore& settings_;
    NotificationService& notifier_;
    std::unique_ptr<AppServices> services_;
    std::unique_ptr<ChallengeStore> challenges_;
    std::unique_ptr<StatsStore> stats_;
    std::unique_ptr<VitalsStore> vitals_;
    VitalsChangeDetector vitalsDetector_;
    std::optional<Date> lastLoadSample_;
    std::optional<Date> lastHabitCheck_;
    // Whether the evening check was on, and its minute of day, when the card was last restored.
    std::optional<std::pair<bool, std::int64_t>> eveningSettings_;
    // The running cool-down's ticking task, and when it started on the monotonic clock.
    std::optional<std::uint64_t> coolDownTask_;
    std::uint64_t coolDownTasks_ = 0;
    std::chrono::steady_clock::time_point coolDownStart_;
    int coreCount_;
    // Its own numbers: a heat break is offered after 20 minutes hot, at most every 45 minutes.
    HeatBreakTrigger heatBreak_{1200, 2700};
    std::int64_t headsUpGeneration_ = 0;
    std::int64_t momentaryGeneration_ = 0;
    std::optional<PeaFace> lastMenuFace_;
    std::optional<double> debugRestInterval_;
    SamplerHealth systemHealth_{3, 2};
    SamplerHealth processHealth_{3, 2};
    std::optional<Personality> drawnPersonality_;
    bool logsSamples_;
    SweatEngine engine_;
    BlameModel blame_;
    HeadsUpPolicy headsUp_;
    std::shared_ptr<PresenceTracker> presence_;
    std::unique_ptr<RestCoach> coach_;
    ReminderScheduler reminders_;
    std::vector<Reminder> reminderQueue_;
    // The active reminder went out as a notification.
    bool reminderNotified_ = false;
    bool started_ = false;
};

} // namespace halvrick
