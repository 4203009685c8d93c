#pragma once

#include "core/AppKey.h"
#include "core/Calendar.h"
#include "core/Challenges.h"
#include "core/CoolDownPattern.h"
#include "core/DailyGrade.h"
#include "core/Date.h"
#include "core/HeadsUp.h"
#include "core/HeatState.h"
#include "core/Personality.h"
#include "core/Reminder.h"
#include "core/SystemBreakdown.h"
#include "core/ThermalLevel.h"
#include "core/VitalsDay.h"
#include "core/VitalsEvent.h"
#include "model/EveningSummary.h"
#include "model/ReportPeriod.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// Every sentence the mascot says and every short label it shows, built by plain concatenation (no
// translation). Numbers are rounded half away from zero and written with plain ASCII digits whatever
// the locale; only the date texts follow the locale.
namespace Copy {

// Returns an index 0...n-1, uniformly.
using RandomIndex = std::function<std::size_t(std::size_t n)>;

// ---- The mascot's voice

// The five idle lines of a heat state, in a fixed order.
std::vector<std::string> heatLines(HeatState state, Personality personality);
// A random one of heatLines, other than `onShow` whenever another line is left.
std::string heatLine(HeatState state, Personality personality, std::string_view onShow,
                     const RandomIndex& random);
// Who is to blame: a fixed line for nobody and for the system, else a template drawn afresh on every
// call.
std::string blameLine(const std::optional<AppKey>& key, Personality personality, const RandomIndex& random);
std::string memoryBlameLine(const AppMemory& app, Personality personality);
std::string headsUp(const HeadsUp& h, Personality personality);
// `interval`: the worked stretch in seconds.
std::string restPrompt(double interval, Personality personality);
std::string roastHeadline(std::string_view name, HeatState state, Personality personality);
std::string roastSubhead(double cpuLoad);

// ---- Formatters and labels, the same in every voice

// The value rounded to a whole number, halves away from zero. NaN reads as 0 and values beyond the
// 64-bit range as its ends, so a bad sample never gives undefined arithmetic.
std::int64_t roundedInteger(double value);
// roundedInteger in plain decimal digits.
std::string rounded(double value);
// "<1 min", "42 min", "1 h", "1 h 30 min".
std::string duration(double seconds);
// A fraction 0...1: one decimal below 10 % ("7.5%"), whole numbers from there ("42%").
std::string percent(double fraction);
std::string scoreLabel(double score);
// `cpu` is already a percentage.
// Without a thermal reading (none: no sensor) the label says nothing about temperature.
std::string loadLabel(double cpu, std::optional<ThermalLevel> thermal);
// Whole seconds left, rounded up; a countdown past its end reads "0:00".
std::string restCountdown(double remaining);
std::string coolDownStage(CoolDownPattern::Stage stage, double remaining);
// A one-line explanation of one of the operating system's own processes, by exact, case-sensitive name
// (a kernel thread by the part of its name before "/", as listings give it); none for any other name.
std::optional<std::string> systemPartNote(const SystemPart& part, ThermalLevel thermal);
std::string vitalsEvent(const VitalsEventKind& kind);
// "Downloads", "Desktop", "Documents"; any other key capitalized word by word.
std::string vitalsFolderName(std::string_view key);

// Date texts. Local fields come from `calendar`; month names, their order and the time style from
// `locale`, a name such as "de_DE" (empty: the application's locale).

// "since last night", "since yesterday", or "since " and the earlier day as an abbreviated month and
// day ("since Mar 5"); a day key that names no real day is shown as it is.
std::string vitalsFolderSince(std::string_view earlierDay, std::optional<Date> earlier, Date now,
                              const Calendar& calendar, std::string_view locale = {});
// The shared short time style, e.g. "3:00 PM" or "15:00".
std::string timeFormatter(Date date, const Calendar& calendar, std::string_view locale = {});
// The date from a template of Qt pattern letters ("MMM d", "MMMM d", "dddd MMMM d", "MMM d yyyy",
// "ddd"): the template says which fields show and how long their names are, the locale their order and
// the words and marks between them.
std::string localizedDate(Date date, const Calendar& calendar, std::string_view fields,
                          std::string_view locale = {});
// "Mar 5 – Mar 11".
std::string wrappedRange(Date start, Date end, const Calendar& calendar, std::string_view locale = {});
// Hour x 60 + minute, 0...1439.
int minuteOfDay(Date date, const Calendar& calendar);
// Today (the day of `now`) at that minute, second 0. A time the clock skips gives the first time after
// the gap; a repeated time the earlier one; a minute outside 0...1439 gives `now`.
Date date(int minuteOfDay, Date now, const Calendar& calendar);

// The download page opened when updates cannot be checked in place; empty when the build names none.
std::string checkForUpdatesURL();

inline constexpr std::string_view coolDownTitle = "One minute. Just breathe.";
// Before a reminder's own text, on its card and in its notification.
inline constexpr std::string_view reminderPrefix = "You asked me to remind you: ";
inline constexpr std::string_view habitStripHint = "Today's grade and this week's challenge.";
inline constexpr std::string_view historyHeat = "Hot time";
inline constexpr std::string_view historyMeltdown = "Meltdown";
inline constexpr std::string_view roastMenu = "Roast card…";
inline constexpr std::string_view vitalsMenu = "Vitals…";
inline constexpr std::string_view firstRunCardLabel = "A roast card, one tap away";
inline constexpr std::string_view settingsResetConfirm = "Reset all stats?";
inline constexpr std::string_view vitalsFoldersReveal = "Show in file manager";
// Said where the desktop has no file manager to show a folder in.
inline constexpr std::string_view noFileManager = "No file manager on this desktop opened the folder.";

// ---- Habits, the evening check-in and reports

// The grade's comment in the personality's voice.
std::string gradeLine(const DailyGrade& grade, Personality personality);
std::string gradeAccessibility(const DailyGrade& grade);
// "Day's done." when the day has no grade.
std::string eveningTitle(const std::optional<DailyGrade>& grade);
std::string eveningBody(double heatSeconds, std::int64_t breaksTaken, const std::optional<std::string>& culprit);
std::string eveningNotification(const EveningSummary& summary);
// "Chill week", "Break habit", "Cool head".
std::string_view challengeTitle(ChallengeKind kind);
// The rule by which a day of the challenge counts as met.
std::string_view challengeGoal(ChallengeKind kind);
// Days the challenge can still miss, from the past days only; never below 0, singular only for one.
std::string missesLeft(const ChallengeProgress& progress);
std::string challengeAnnouncement(const ChallengeResult& result);
// "Day 3 of 7", today counted while it lies in the window.
std::string challengeDay(const ChallengeProgress& progress);
std::string challengeMet(std::int64_t met, std::int64_t total);
std::string challengeResultBody(const ChallengeResult& result);
std::string historyBlameLead(std::string_view name, std::int64_t topDays, std::int64_t days);
// The history heatmap's levels 0...4; any other level reads as the hottest.
std::string historyCalendarLegendLevel(int level);
// The year report names the year of `now`, whatever span it covers.
std::string reportTitle(ReportPeriod period, Date now, const Calendar& calendar);
// A daily time in the shared short time style of `locale` (empty: the application's), the same on every
// day of the year; a time outside the day, which never fires, shows its stored numbers.
std::string scheduleSummary(const Reminder::Schedule& schedule, std::string_view locale = {});
std::string ignoringHeader(std::int64_t count);
// The outcome of a quit asked of an application that had already closed: not a failure.
std::string quitAlreadyGone(const std::string& name);

} // namespace Copy

} // namespace halvrick
