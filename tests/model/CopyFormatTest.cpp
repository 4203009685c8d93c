#include "model/Copy.h"

#include "core/CulpritNotes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace halvrick {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(CopyFormatTest, RoundsHalvesAwayFromZero) {
    const std::pair<double, std::int64_t> cases[] = {
        {0, 0},
        {0.5, 1},
        {1, 1},
        {1.5, 2},
        {2, 2},
        {2.5, 3}, // never to even
        {-0.5, -1},
        {-2.5, -3},
        {0.49999999999999994, 0}, // adding 0.5 and flooring would give 1
        {1e15 + 0.5, 1000000000000001},
        {nan, 0},
        {inf, std::numeric_limits<std::int64_t>::max()},
        {9.3e18, std::numeric_limits<std::int64_t>::max()},
        {-inf, std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& [value, whole] : cases) {
        EXPECT_EQ(Copy::roundedInteger(value), whole) << value;
        EXPECT_EQ(Copy::rounded(value), std::to_string(whole)) << value;
    }
}

TEST(CopyFormatTest, Durations) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 min"},       {1e-9, "<1 min"},        {29.9, "<1 min"},    {30, "1 min"},
        {89.9, "1 min"},    {90, "2 min"},           {150, "3 min"},      {3540, "59 min"},
        {3569.9, "59 min"}, {3570, "1 h"}, // 59.5 minutes round to 60
        {3600, "1 h"},      {3629.9, "1 h"},         {3630, "1 h 1 min"}, {5400, "1 h 30 min"},
        {7200, "2 h"},      {259200, "72 h"},        {-10, "0 min"},      {-30, "-1 min"},
        {-3600, "-1 h"},    {-5400, "-1 h -30 min"}, {nan, "0 min"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Copy::duration(seconds), text) << seconds;
    }
}

TEST(CopyFormatTest, Percentages) {
    const std::pair<double, const char*> cases[] = {
        {0, "0.0%"},      {0.00125, "0.1%"}, {0.005, "0.5%"},   {0.01, "1.0%"},
        {0.0625, "6.3%"},                                       // an exact 6.25: printf would make it 6.2
        {0.075, "7.5%"},  {0.0995, "10.0%"}, {0.0999, "10.0%"}, // below 10 before rounding, so it keeps its
                                                                // decimal
        {0.1, "10%"},     {0.125, "13%"},    {0.425, "43%"},    {0.5, "50%"},
        {1, "100%"},      {2.5, "250%"},     {-0.0004, "0.0%"}, {-0.0625, "-6.3%"},
    };
    for (const auto& [fraction, text] : cases) {
        EXPECT_EQ(Copy::percent(fraction), text) << fraction;
    }
}

TEST(CopyFormatTest, ScoreAndLoadLabels) {
    EXPECT_EQ(Copy::scoreLabel(0), "Heat 0/100");
    EXPECT_EQ(Copy::scoreLabel(1), "Heat 1/100");
    EXPECT_EQ(Copy::scoreLabel(49.5), "Heat 50/100");
    EXPECT_EQ(Copy::scoreLabel(72.4), "Heat 72/100");
    EXPECT_EQ(Copy::scoreLabel(100), "Heat 100/100");

    EXPECT_EQ(Copy::loadLabel(0, ThermalLevel::nominal), "CPU 0% · running cool");
    EXPECT_EQ(Copy::loadLabel(12.5, ThermalLevel::fair), "CPU 13% · running warm");
    EXPECT_EQ(Copy::loadLabel(2, ThermalLevel::serious), "CPU 2% · running hot");
    EXPECT_EQ(Copy::loadLabel(99.5, ThermalLevel::critical), "CPU 100% · running very hot");
    // No sensor is not "cool": nothing is said about temperature.
    EXPECT_EQ(Copy::loadLabel(100, std::nullopt), "CPU 100%");
}

TEST(CopyFormatTest, RestCountdownRoundsUpToWholeSeconds) {
    const std::pair<double, const char*> cases[] = {
        {61.2, "1:02"}, {60, "1:00"}, {59.01, "1:00"},  {9, "0:09"},     {0.001, "0:01"},
        {0, "0:00"},    {-5, "0:00"}, {599.5, "10:00"}, {3600, "60:00"}, {nan, "0:00"},
    };
    for (const auto& [remaining, clock] : cases) {
        EXPECT_EQ(Copy::restCountdown(remaining), std::string(clock) + " to go. Step away from the keyboard.")
            << remaining;
    }
}

TEST(CopyFormatTest, CoolDownStages) {
    using Stage = CoolDownPattern::Stage;
    EXPECT_EQ(Copy::coolDownStage(Stage::inhale, 4), "Breathe in… 4");
    EXPECT_EQ(Copy::coolDownStage(Stage::hold, 3.2), "Hold… 4");
    EXPECT_EQ(Copy::coolDownStage(Stage::exhale, 0.1), "Breathe out… 1");
    EXPECT_EQ(Copy::coolDownStage(Stage::exhale, 5.5), "Breathe out… 6");
}

TEST(CopyFormatTest, SystemPartNotesForBothPlatformsNames) {
    const char* screen =
        "Draws everything on screen. Animations, lots of windows and extra displays keep it busy.";
    const char* indexing = "Spotlight, indexing your files. It calms down once it's caught up.";
    const char* search = "The desktop's file search, indexing your files. It calms down once it's caught up.";
    const char* backup = "Time Machine, backing up.";
    const char* linuxBackup = "A backup under way.";
    const char* monitor = "Feeds System Monitor. Close it and I'll calm down a bit.";
    const char* photos = "Photos, scanning your library.";
    const char* updates = "Checking for or installing updates.";
    const char* cloud = "iCloud, syncing your files.";
    const char* cloudStorage = "Cloud storage, syncing your files.";
    const char* security = "Security checks on apps and downloads.";
    const char* sound = "Handling sound.";
    const char* bluetooth = "Talking to Bluetooth devices.";
    const char* init = "Starts and watches every other process.";
    const char* settings = "Reading and saving app settings.";
    const char* logs = "Writing system logs.";
    const char* input = "Keyboard, mouse and trackpad input.";
    const std::pair<const char*, const char*> cases[] = {
        {"WindowServer", screen},
        {"Xorg", screen},
        {"Xwayland", screen},
        {"gnome-shell", screen},
        {"kwin_wayland", screen},
        {"kwin_x11", screen},
        {"mds", indexing},
        {"mds_stores", indexing},
        {"mdworker", indexing},
        {"mdworker_shared", indexing},
        {"corespotlightd", indexing},
        {"mdsync", indexing},
        {"tracker-miner-f", search}, // tracker-miner-fs-3 as the kernel keeps it
        {"tracker-extract", search},
        {"localsearch-3", search},
        {"localsearch-ext", search},
        {"baloo_file", search},
        {"baloo_file_extr", search},
        {"backupd", backup},
        {"backupd-helper", backup},
        {"deja-dup-monito", linuxBackup},
        {"sysmond", monitor},
        {"gnome-system-mo", monitor},
        {"ksystemstats", monitor},
        {"photoanalysisd", photos},
        {"mediaanalysisd", photos},
        {"photolibraryd", photos},
        {"softwareupdated", updates},
        {"packagekitd", updates},
        {"unattended-upgr", updates},
        {"bird", cloud},
        {"cloudd", cloud},
        {"fileproviderd", cloud},
        {"gvfsd-onedrive", cloudStorage},
        {"nextcloud", cloudStorage},
        {"trustd", security},
        {"syspolicyd", security},
        {"XprotectService", security},
        {"fapolicyd", security},
        {"coreaudiod", sound},
        {"pipewire", sound},
        {"wireplumber", sound},
        {"pulseaudio", sound},
        {"bluetoothd", bluetooth},
        {"launchd", init},
        {"systemd", init},
        {"cfprefsd", settings},
        {"dconf-service", settings},
        {"logd", logs},
        {"systemd-journal", logs}, // systemd-journald cut to 15 bytes
        {"rsyslogd", logs},
        {"hidd", input},
        {"ibus-daemon", input},
    };
    for (const auto& [name, note] : cases) {
        EXPECT_EQ(Copy::systemPartNote({name, 0.2}, ThermalLevel::critical), note) << name;
    }
}

TEST(CopyFormatTest, SystemPartNoteMatchesExactNamesOnly) {
    for (const char* name : {"Mds", "mds ", "xorg", "Systemd", "", "firefox", "kworker/0:1-events"}) {
        EXPECT_EQ(Copy::systemPartNote({name, 0.5}, ThermalLevel::nominal), std::nullopt) << name;
    }
}

TEST(CopyFormatTest, TheKernelCoolsTheMachineWhenItIsHotOrBusyWhileWarm) {
    const std::string heart = "The heart of Linux: drivers, memory and files.";
    const std::string cooling = "Probably hogging CPU on purpose, so I cool down.";
    struct Row {
        ThermalLevel thermal;
        double share;
        const std::string& note;
    };
    const Row rows[] = {
        {ThermalLevel::nominal, 0.9, heart},  {ThermalLevel::fair, 0.09, heart},
        {ThermalLevel::fair, 0.1, cooling},   {ThermalLevel::serious, 0, cooling},
        {ThermalLevel::critical, 0, cooling},
    };
    for (const char* name :
         {"kernel_task", "kworker", "ksoftirqd", "kswapd0", "rcu_preempt", "migration", "idle_inject"}) {
        for (const Row& r : rows) {
            EXPECT_EQ(Copy::systemPartNote({name, r.share}, r.thermal), r.note)
                << name << ' ' << rawValue(r.thermal) << ' ' << r.share;
        }
    }
}

// The culprit list and the system breakdown know the same processes under the same names, each with
// its own words; only the culprit list reads a name in any case.
TEST(CopyFormatTest, TheBreakdownAndTheCulpritListKnowTheSameProcesses) {
    const std::string screen = "Draws everything on screen. Animations, ";
    const std::string updates = "Checking for or installing ";
    struct Case {
        const char* name;
        std::optional<std::string> culprit;
        std::optional<std::string> breakdown;
    };
    const Case cases[] = {
        {"mutter", screen + "many windows and extra displays keep it busy.",
         screen + "lots of windows and extra displays keep it busy."},
        {"labwc", screen + "many windows and extra displays keep it busy.",
         screen + "lots of windows and extra displays keep it busy."},
        {"Hyprland", screen + "many windows and extra displays keep it busy.",
         screen + "lots of windows and extra displays keep it busy."},
        {"kworker", "The heart of Linux: drivers, memory and files. It also takes CPU to cool the computer.",
         "The heart of Linux: drivers, memory and files."},
        {"dpkg", updates + "Linux updates.", updates + "updates."},
        {"unattended-upgrade", updates + "Linux updates.", updates + "updates."},
        {"systemd", std::nullopt, "Starts and watches every other process."},
        {"shotwell", std::nullopt, "Your photo manager, scanning your library."},
        {"XprotectService", std::nullopt, "Security checks on apps and downloads."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CulpritNotes::note(std::string_view(c.name)), c.culprit) << c.name;
        EXPECT_EQ(Copy::systemPartNote({c.name, 0}, ThermalLevel::nominal), c.breakdown) << c.name;
    }
    EXPECT_EQ(CulpritNotes::note(std::string_view("HYPRLAND")), cases[2].culprit);
    EXPECT_EQ(Copy::systemPartNote({"HYPRLAND", 0}, ThermalLevel::nominal), std::nullopt);
}
TEST(CopyFormatTest, VitalsEvents) {
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::storageFreed(1500000000)),
              "You freed 1.5 GB. The floor is visible again.");
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::storageFilled(250000000)),
              "250 MB of storage went somewhere.");
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::storageLow(5000000000)),
              "Storage is nearly full. 5.0 GB left.");
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::swapStarted(536870912)),
              "Linux started swapping. 512 MB moved to disk.");
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::memoryFreed(2147483648)), "2.0 GB of memory came back.");
    EXPECT_EQ(Copy::vitalsEvent(VitalsEventKind::pressureCritical()),
              "Memory pressure went critical. Something is holding on too hard.");
}

TEST(CopyFormatTest, VitalsFolderNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"downloads", "Downloads"},
        {"desktop", "Desktop"},
        {"documents", "Documents"},
        {"music", "Music"},
        {"my projects", "My Projects"},
        {"pHOTOS", "Photos"},
        {"2024-archive", "2024-Archive"},
        {"über ordner", "über Ordner"},
        {"", ""},
    };
    for (const auto& [key, name] : cases) {
        EXPECT_EQ(Copy::vitalsFolderName(key), name) << key;
    }
}

struct CopyDatesTest : ::testing::Test {
    Calendar calendar{"Europe/Berlin"};
    Date now = calendar.date(2026, 3, 5, 8);

    Date hoursAgo(double hours) const { return now - hours * 3600; }
};

TEST_F(CopyDatesTest, FolderSinceYesterdayOrLastNight) {
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", std::nullopt, now, calendar, "en_US"), "since yesterday");
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", hoursAgo(10), now, calendar, "en_US"),
              "since last night");
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", hoursAgo(17.99), now, calendar, "en_US"),
              "since last night");
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", hoursAgo(18), now, calendar, "en_US"), "since yesterday");
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", hoursAgo(20), now, calendar, "en_US"), "since yesterday");
    // From 30 hours on, yesterday's key reads as its date.
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-04", hoursAgo(30), now, calendar, "en_US"), "since Mar 4");
}

TEST_F(CopyDatesTest, FolderSinceAnOlderDayInTheLocalesOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "since Mar 1"},  {"en_GB", "since 1 Mar"},    {"de_DE", "since 1. März"},
        {"fr_FR", "since 1 mars"}, {"hu_HU", "since márc. 1."}, {"ja_JP", "since 3月1日"},
    };
    for (const auto& [locale, text] : cases) {
        EXPECT_EQ(Copy::vitalsFolderSince("2026-03-01", hoursAgo(96), now, calendar, locale), text) << locale;
    }
    EXPECT_EQ(Copy::vitalsFolderSince("2026-03-05", std::nullopt, now, calendar, "en_US"), "since Mar 5");
    EXPECT_EQ(Copy::vitalsFolderSince("2025-12-31", std::nullopt, now, calendar, "en_US"), "since Dec 31");
}

TEST_F(CopyDatesTest, FolderSinceAKeyThatNamesNoDayShowsTheKey) {
    for (const char* key : {"garbage", "", "2026-02-30", "2026-13-01", "2026-03", "2026-03-01-02"}) {
        EXPECT_EQ(Copy::vitalsFolderSince(key, std::nullopt, now, calendar, "en_US"),
                  "since " + std::string(key));
    }
}

TEST_F(CopyDatesTest, WrappedRange) {
    const Date first = calendar.date(2026, 2, 26);
    const Date last = calendar.date(2026, 3, 4, 23, 59);
    EXPECT_EQ(Copy::wrappedRange(first, last, calendar, "en_US"), "Feb 26 – Mar 4");
    EXPECT_EQ(Copy::wrappedRange(first, last, calendar, "de_DE"), "26. Feb. – 4. März");
    // The calendar's zone decides the day: 23:30 UTC is already the next day in Berlin.
    const Calendar utc;
    const Date late = utc.date(2026, 3, 4, 23, 30);
    EXPECT_EQ(Copy::wrappedRange(late, late, calendar, "en_US"), "Mar 5 – Mar 5");
    EXPECT_EQ(Copy::wrappedRange(late, late, utc, "en_US"), "Mar 4 – Mar 4");
}

// A template names the fields; the locale orders them and sets the words and marks between them.
TEST_F(CopyDatesTest, DatesFromTemplatesInTheLocalesOrder) {
    const struct {
        const char* fields;
        const char* locale;
        const char* text;
    } rows[] = {
        {"MMM d", "en_US", "Mar 5"},
        {"MMM d", "C", "5 Mar"},
        {"MMM d", "ja_JP", "3月5日"},
        {"MMMM d", "en_US", "March 5"},
        {"MMMM d", "de_DE", "5. März"},
        {"MMMM d", "fr_FR", "5 mars"},
        {"dddd, MMMM d", "en_US", "Thursday, March 5"},
        {"dddd, MMMM d", "de_DE", "Donnerstag, 5. März"},
        {"dddd, MMMM d", "hu_HU", "március 5., csütörtök"},
        {"dddd, MMMM d", "ja_JP", "3月5日木曜日"},
        {"MMM d, yyyy", "en_US", "Mar 5, 2026"},
        {"MMM d, yyyy", "en_GB", "5 Mar 2026"},
        {"MMM d, yyyy", "de_DE", "5. März 2026"},
        {"MMM d, yyyy", "ja_JP", "2026年3月5日"},
        // A single field has no order to take.
        {"ddd", "de_DE", "Do."},
        {"MMM", "fr_FR", "mars"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Copy::localizedDate(now, calendar, row.fields, row.locale), row.text)
            << row.fields << " in " << row.locale;
    }
}

TEST_F(CopyDatesTest, ShortTimes) {
    const Date afternoon = calendar.date(2026, 3, 5, 15, 7, 42);
    EXPECT_EQ(Copy::timeFormatter(afternoon, calendar, "de_DE"), "15:07");
    EXPECT_EQ(Copy::timeFormatter(afternoon, calendar, "en_US"), "3:07 PM");
    EXPECT_EQ(Copy::timeFormatter(calendar.date(2026, 3, 5), calendar, "de_DE"), "00:00");
    EXPECT_EQ(Copy::timeFormatter(afternoon, calendar, "C"), "15:07") << "never seconds";
}

TEST_F(CopyDatesTest, MinuteOfDay) {
    EXPECT_EQ(Copy::minuteOfDay(calendar.date(2026, 3, 5), calendar), 0);
    EXPECT_EQ(Copy::minuteOfDay(calendar.date(2026, 3, 5, 15, 30, 59), calendar), 930);
    EXPECT_EQ(Copy::minuteOfDay(calendar.date(2026, 3, 5, 23, 59), calendar), 1439);
    EXPECT_EQ(Copy::minuteOfDay(calendar.date(2026, 3, 29, 3, 0), calendar), 180);
}

TEST_F(CopyDatesTest, DateAtAMinuteOfToday) {
    EXPECT_EQ(Copy::date(900, now, calendar), calendar.date(2026, 3, 5, 15));
    EXPECT_EQ(Copy::date(0, now, calendar), calendar.date(2026, 3, 5));
    EXPECT_EQ(Copy::date(1439, now, calendar), calendar.date(2026, 3, 5, 23, 59));
    for (const int outside : {-1, 1440, 100000}) {
        EXPECT_EQ(Copy::date(outside, now, calendar), now) << outside;
    }
    for (const int m : {0, 1, 59, 60, 61, 719, 720, 1380, 1439}) {
        EXPECT_EQ(Copy::minuteOfDay(Copy::date(m, now, calendar), calendar), m);
    }
}

TEST_F(CopyDatesTest, DateAtASkippedMinuteIsTheFirstAfterTheGapAndARepeatedOneTheEarlier) {
    // 29 March 2026: the clocks go from 02:00 straight to 03:00 (01:00 UTC).
    const Calendar utc;
    const Date spring = calendar.date(2026, 3, 29, 12);
    for (const int skipped : {120, 150, 179}) {
        EXPECT_EQ(Copy::date(skipped, spring, calendar), utc.date(2026, 3, 29, 1)) << skipped;
    }
    EXPECT_EQ(Copy::date(180, spring, calendar), utc.date(2026, 3, 29, 1));
    EXPECT_EQ(Copy::date(119, spring, calendar), utc.date(2026, 3, 29, 0, 59));
    // 25 October 2026: 02:30 happens twice; the first is still summer time (00:30 UTC).
    EXPECT_EQ(Copy::date(150, calendar.date(2026, 10, 25, 12), calendar), utc.date(2026, 10, 25, 0, 30));
}

TEST(CopyFormatTest, Labels) {
    EXPECT_EQ(Copy::coolDownTitle, "One minute. Just breathe.");
    EXPECT_EQ(Copy::habitStripHint, "Today's grade and this week's challenge.");
    EXPECT_EQ(Copy::historyHeat, "Hot time");
    EXPECT_EQ(Copy::historyMeltdown, "Meltdown");
    EXPECT_EQ(Copy::roastMenu, "Roast card…");
    EXPECT_EQ(Copy::vitalsMenu, "Vitals…");
    EXPECT_EQ(Copy::firstRunCardLabel, "A roast card, one tap away");
    EXPECT_EQ(Copy::settingsResetConfirm, "Reset all stats?");
    EXPECT_EQ(Copy::vitalsFoldersReveal, "Show in file manager");
}

} // namespace
} // namespace halvrick

namespace halvrick {
namespace {

// Every Linux program the note tables know, as a process and as a desktop entry.
const char* const linuxProcesses[] = {
    "Xorg", "Xwayland", "gnome-shell", "kwin_wayland", "kwin_x11", "mutter", "sway", "Hyprland", "weston",
    "labwc", "wayfire", "xfwm4", "marco", "cinnamon", "picom", "kthreadd", "kswapd0", "kcompactd0", "kworker",
    "ksoftirqd", "khugepaged", "rcu_preempt", "jbd2", "tracker-miner-fs-3", "tracker-miner-f",
    "tracker-extract-3", "tracker-extract", "localsearch-3", "localsearch-ext", "baloo_file",
    "baloo_file_extr", "deja-dup", "deja-dup-monito", "duplicity", "timeshift", "borg", "restic",
    "gnome-system-mo", "plasma-systemmo", "ksystemstats", "ksysguardd", "gnome-photos", "shotwell", "digikam",
    "packagekitd", "gnome-software", "plasma-discover", "fwupd", "unattended-upgr", "apt", "apt-get", "dpkg",
    "dnf", "zypper", "snapd", "flatpak", "gvfsd-google", "gvfsd-onedrive", "onedrive", "nextcloud", "dropbox",
    "rclone", "fapolicyd", "clamd", "clamscan", "freshclam", "clamonacc", "pipewire", "pipewire-pulse",
    "wireplumber", "pulseaudio", "bluetoothd", "systemd", "init", "dconf-service", "xfconfd", "systemd-journal",
    "rsyslogd", "syslog-ng", "ibus-daemon", "ibus-x11", "fcitx5", "fcitx", "touchegg", "firefox", "firefox-esr",
    "chromium", "code", "codium", "node", "python3", "java", "gradle", "ruby", "cargo", "rustc", "gcc", "cc1plus",
    "blender", "electron", "qtcreator", "kdevelop", "eclipse",
};

const AppKey linuxApps[] = {
    {AppKey::Kind::app, "/usr/share/applications/firefox-esr.desktop", "Firefox ESR"},
    {AppKey::Kind::app, "/var/lib/flatpak/exports/share/applications/org.mozilla.firefox.desktop", "Web Browser"},
    {AppKey::Kind::app, "/usr/share/applications/chromium.desktop", "Chromium"},
    {AppKey::Kind::app, "/usr/share/applications/google-chrome.desktop", "Google Chrome"},
    {AppKey::Kind::app, "/usr/share/applications/org.gnome.Builder.desktop", "Builder"},
    {AppKey::Kind::app, "/usr/share/applications/code.desktop", "Visual Studio Code"},
    {AppKey::Kind::app, "/var/lib/flatpak/exports/share/applications/com.spotify.Client.desktop", "Spotify"},
    {AppKey::Kind::app, "/var/lib/snapd/desktop/applications/slack_slack.desktop", "Slack"},
    {AppKey::Kind::app, "/usr/share/applications/teams-for-linux.desktop", "Teams for Linux"},
    {AppKey::Kind::app, "/usr/share/applications/Zoom.desktop", "Zoom"},
    {AppKey::Kind::app, "/usr/share/applications/discord.desktop", "Discord"},
    {AppKey::Kind::app, "/usr/share/applications/obsidian.desktop", "Obsidian"},
    {AppKey::Kind::app, "/usr/share/applications/notion-app.desktop", "Notion"},
    {AppKey::Kind::app, "/usr/share/applications/figma-linux.desktop", "Figma"},
    {AppKey::Kind::app, "/usr/share/applications/org.gnome.Shotwell.desktop", "Shotwell"},
    {AppKey::Kind::app, "/usr/share/applications/org.kde.digikam.desktop", "digiKam"},
    {AppKey::Kind::app, "/usr/share/applications/org.kde.kdenlive.desktop", "Kdenlive"},
    {AppKey::Kind::app, "/usr/share/applications/blender.desktop", "Blender"},
    {AppKey::Kind::app, "/usr/share/applications/docker-desktop.desktop", "Docker Desktop"},
    {AppKey::Kind::app, "/opt/idea/bin/idea.desktop", "IntelliJ IDEA"},
    {AppKey::Kind::process, "/usr/bin/node", "node"},
    {AppKey::Kind::process, "/usr/bin/python3.11", "python3.11"},
    {AppKey::Kind::process, "/usr/bin/gcc", "gcc"},
    {AppKey::Kind::process, "/usr/bin/electron", "electron"},
};

// The other platform's products, which mean nothing on a Linux machine.
const char* const otherPlatformWords[] = {
    "Spotlight", "Time Machine", "iCloud",  "Safari",          "macOS",           "Mac ",   "Mac.",
    "Finder",    "Xcode",        "Photos,", "Activity Monitor", "System Settings", "launchd", "WindowServer",
};

TEST(CopyFormatTest, EveryNoteForALinuxProgramSpeaksLinux) {
    std::vector<std::string> notes;
    for (const char* name : linuxProcesses) {
        for (const ThermalLevel thermal : {ThermalLevel::nominal, ThermalLevel::critical}) {
            if (const auto note = Copy::systemPartNote({name, 0.2}, thermal)) {
                notes.push_back(std::string(name) + ": " + *note);
            }
        }
        if (const auto note = CulpritNotes::note(std::string_view(name))) {
            notes.push_back(std::string(name) + ": " + *note);
        }
        if (const auto note = CulpritNotes::note(AppKey{AppKey::Kind::process, name, name})) {
            notes.push_back(std::string(name) + ": " + *note);
        }
    }
    for (const AppKey& app : linuxApps) {
        const auto note = CulpritNotes::note(app);
        EXPECT_TRUE(note.has_value()) << app.id;
        if (note) {
            notes.push_back(app.id + ": " + *note);
        }
    }
    for (const std::string& note : notes) {
        for (const char* word : otherPlatformWords) {
            EXPECT_EQ(note.find(word), std::string::npos) << note;
        }
    }
}

} // namespace
} // namespace halvrick
