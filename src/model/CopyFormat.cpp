#include "model/Copy.h"

#include "core/Bytes.h"
#include "core/CulpritNotes.h"
#include "core/StatsLedger.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QString>
#include <QTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

// The build may name a download page; without one, checking for updates opens nothing.
#ifndef HALVRICK_DOWNLOAD_PAGE
#define HALVRICK_DOWNLOAD_PAGE ""
#endif

namespace halvrick::Copy {

namespace {

// to_chars, unlike printf, ignores the locale that the application object installs.
template <typename Integer> std::string digits(Integer value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

// A double that already holds a whole number, saturated into the 64-bit range.
std::int64_t toInteger(double whole) {
    if (std::isnan(whole)) {
        return 0;
    }
    // 2^63 is exact as a double; every double below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (whole >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (whole < -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(whole);
}

std::int64_t ceiled(double value) {
    return toInteger(std::ceil(value));
}

QLocale qtLocale(std::string_view locale) {
    return locale.empty() ? QLocale()
                          : QLocale(QString::fromUtf8(locale.data(), static_cast<qsizetype>(locale.size())));
}

struct PatternToken {
    QString text;
    // The pattern letter of a field ('d', 'M', 'y'), or none for literal text.
    QChar field;
    qsizetype width = 0;
};

// Splits a Qt date format into fields and literal text; quoted literals keep their quotes.
std::vector<PatternToken> tokenized(const QString& format) {
    std::vector<PatternToken> tokens;
    qsizetype i = 0;
    const qsizetype n = format.size();
    while (i < n) {
        const QChar c = format[i];
        qsizetype end = i + 1;
        if (c == u'\'') {
            while (end < n) {
                if (format[end] == u'\'') {
                    if (end + 1 < n && format[end + 1] == u'\'') {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                ++end;
            }
            tokens.push_back({format.mid(i, end - i), QChar(), 0});
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            while (end < n && format[end] == c) {
                ++end;
            }
            tokens.push_back({format.mid(i, end - i), c, end - i});
        } else {
            tokens.push_back({QString(c), QChar(), 0});
        }
        i = end;
    }
    return tokens;
}

// The fields a date template asks for, each by the width of its letters (0: not asked for).
struct DateFields {
    qsizetype weekday = 0;
    qsizetype month = 0;
    qsizetype day = 0;
    qsizetype year = 0;

    static DateFields of(const std::vector<PatternToken>& tokens) {
        DateFields fields;
        for (const PatternToken& token : tokens) {
            fields.set(token);
        }
        return fields;
    }

    // The slot `token` fills; none for literal text and fields no template names.
    qsizetype* slot(const PatternToken& token) {
        if (token.field == u'd') {
            return token.width > 2 ? &weekday : &day;
        }
        if (token.field == u'M') {
            return &month;
        }
        return token.field == u'y' ? &year : nullptr;
    }
    void set(const PatternToken& token) {
        if (qsizetype* width = slot(token)) {
            *width = token.width;
        }
    }
    int count() const { return (weekday > 0) + (month > 0) + (day > 0) + (year > 0); }
};

// The locale's own order for the fields of `fields` ("MMM d" gives "MMM d", "d. MMM", "M月d日"), cut out
// of its long date format: Qt has no pattern generator, and "MMM d" alone reads wrongly in most of
// Europe. Names keep the template's length; a month the locale writes as a number stays a number. A
// locale whose long format lacks a field, or holds another one among them, gets the template as it is.
QString localPattern(const QLocale& locale, const QString& fields) {
    DateFields wanted = DateFields::of(tokenized(fields));
    if (wanted.count() < 2) {
        return fields;
    }
    const std::vector<PatternToken> tokens = tokenized(locale.dateFormat(QLocale::LongFormat));
    const auto isWanted = [&wanted](const PatternToken& token) {
        const qsizetype* width = wanted.slot(token);
        return width != nullptr && *width > 0;
    };
    std::size_t first = tokens.size();
    std::size_t last = tokens.size();
    DateFields found;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (isWanted(tokens[i])) {
            first = std::min(first, i);
            last = i;
            found.set(tokens[i]);
        }
    }
    const auto asked = [](qsizetype width) { return width > 0; };
    if (asked(found.weekday) != asked(wanted.weekday) || asked(found.month) != asked(wanted.month) ||
        asked(found.day) != asked(wanted.day) || asked(found.year) != asked(wanted.year)) {
        return fields;
    }
    QString pattern;
    for (std::size_t i = first; i <= last; ++i) {
        const PatternToken& token = tokens[i];
        if (!token.field.isNull() && !isWanted(token)) {
            return fields;
        }
        const bool named = token.field == u'M' ? token.width > 2 : token.field == u'd' && token.width > 2;
        pattern += named ? QString(*wanted.slot(token), token.field) : token.text;
    }
    // A mark that belongs to the last field ("日", "일", the "." of "5.") stays; a separator before a
    // field left out does not.
    for (std::size_t i = last + 1; i < tokens.size() && tokens[i].field.isNull(); ++i) {
        const QString& text = tokens[i].text;
        const QChar lead = text.startsWith(u'\'') && text.size() > 1 ? text[1] : text[0];
        if (lead.isSpace() || lead == u',' || lead == u'\'') {
            break;
        }
        pattern += text;
    }
    return pattern;
}

std::string monthDay(Date date, const Calendar& calendar, std::string_view locale) {
    return localizedDate(date, calendar, "MMM d", locale);
}

} // namespace

std::int64_t roundedInteger(double value) {
    // std::round takes halves away from zero, never to even, and ignores the rounding mode.
    return toInteger(std::round(value));
}

std::string rounded(double value) {
    return digits(roundedInteger(value));
}

std::string duration(double seconds) {
    if (seconds > 0 && seconds < 30) {
        return "<1 min";
    }
    const std::int64_t minutes = roundedInteger(seconds / 60);
    if (minutes >= -59 && minutes <= 59) {
        return digits(minutes) + " min";
    }
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes - 60 * hours;
    return rest == 0 ? digits(hours) + " h" : digits(hours) + " h " + digits(rest) + " min";
}

std::string percent(double fraction) {
    const double p = fraction * 100;
    if (p < 10) {
        const std::int64_t tenths = roundedInteger(p * 10);
        // Unsigned, so the most negative count still has a magnitude.
        const std::uint64_t magnitude = tenths < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(tenths)
                                                   : static_cast<std::uint64_t>(tenths);
        std::string text = tenths < 0 ? "-" : "";
        text += digits(magnitude / 10) + "." + digits(magnitude % 10) + "%";
        return text;
    }
    return rounded(p) + "%";
}

std::string scoreLabel(double score) {
    return "Heat " + rounded(score) + "/100";
}

std::string loadLabel(double cpu, std::optional<ThermalLevel> thermal) {
    const std::string load = "CPU " + rounded(cpu) + "%";
    if (!thermal) {
        return load;
    }
    std::string_view phrase = "running cool";
    switch (*thermal) {
    case ThermalLevel::nominal:
        break;
    case ThermalLevel::fair:
        phrase = "running warm";
        break;
    case ThermalLevel::serious:
        phrase = "running hot";
        break;
    case ThermalLevel::critical:
        phrase = "running very hot";
        break;
    }
    return load + " · " + std::string(phrase);
}

std::string restCountdown(double remaining) {
    const std::int64_t total = std::max<std::int64_t>(0, ceiled(remaining));
    const std::int64_t seconds = total % 60;
    return digits(total / 60) + ":" + (seconds < 10 ? "0" : "") + digits(seconds) +
           " to go. Step away from the keyboard.";
}

std::string coolDownStage(CoolDownPattern::Stage stage, double remaining) {
    std::string_view prefix = "Breathe in… ";
    switch (stage) {
    case CoolDownPattern::Stage::inhale:
        break;
    case CoolDownPattern::Stage::hold:
        prefix = "Hold… ";
        break;
    case CoolDownPattern::Stage::exhale:
        prefix = "Breathe out… ";
        break;
    }
    return std::string(prefix) + digits(ceiled(remaining));
}

std::optional<std::string> systemPartNote(const SystemPart& part, ThermalLevel thermal) {
    const CulpritNotes::SystemProcess* process = CulpritNotes::systemProcess(part.name);
    if (!process || process->breakdownNote.empty()) {
        return std::nullopt;
    }
    const bool cooling = thermal == ThermalLevel::serious || thermal == ThermalLevel::critical ||
                         (thermal == ThermalLevel::fair && part.share >= 0.1);
    if (process->isKernel && cooling) {
        return "Probably hogging CPU on purpose, so I cool down.";
    }
    return std::string(process->breakdownNote);
}

std::string vitalsEvent(const VitalsEventKind& kind) {
    const std::uint64_t bytes = kind.payload().value_or(0);
    switch (kind.eventCase()) {
    case VitalsEventKind::Case::storageFreed:
        return "You freed " + Bytes::storage(bytes) + ". The floor is visible again.";
    case VitalsEventKind::Case::storageFilled:
        return Bytes::storage(bytes) + " of storage went somewhere.";
    case VitalsEventKind::Case::storageLow:
        return "Storage is nearly full. " + Bytes::storage(bytes) + " left.";
    case VitalsEventKind::Case::swapStarted:
        return "Linux started swapping. " + Bytes::memory(bytes) + " moved to disk.";
    case VitalsEventKind::Case::memoryFreed:
        return Bytes::memory(bytes) + " of memory came back.";
    case VitalsEventKind::Case::pressureCritical:
        return "Memory pressure went critical. Something is holding on too hard.";
    }
    return {};
}

std::string vitalsFolderName(std::string_view key) {
    if (key == "downloads") {
        return "Downloads";
    }
    if (key == "desktop") {
        return "Desktop";
    }
    if (key == "documents") {
        return "Documents";
    }
    // Capitalized as words are: first letter upper case, the rest lower case. Bytes beyond ASCII belong
    // to the word they are in and stay as they are.
    std::string text(key);
    bool wordStart = true;
    for (char& c : text) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        const bool wordByte =
            upper || lower || (c >= '0' && c <= '9') || c == '\'' || static_cast<unsigned char>(c) >= 0x80;
        if (wordStart && lower) {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (!wordStart && upper) {
            c = static_cast<char>(c - 'A' + 'a');
        }
        wordStart = !wordByte;
    }
    return text;
}

std::string vitalsFolderSince(std::string_view earlierDay, std::optional<Date> earlier, Date now,
                              const Calendar& calendar, std::string_view locale) {
    if (earlierDay == StatsLedger::dayKey(calendar.addingDays(-1, now), calendar)) {
        if (!earlier) {
            return "since yesterday";
        }
        const double hours = (now - *earlier) / 3600;
        if (hours < 18) {
            return "since last night";
        }
        if (hours < 30) {
            return "since yesterday";
        }
    }
    // Only a key that names a real day is a date: "2024-02-30" would otherwise read as March 1.
    const std::optional<Date> day = StatsLedger::dateForDay(earlierDay, calendar);
    if (!day || StatsLedger::dayKey(*day, calendar) != earlierDay) {
        return "since " + std::string(earlierDay);
    }
    return "since " + monthDay(*day, calendar, locale);
}

std::string timeFormatter(Date date, const Calendar& calendar, std::string_view locale) {
    const DateComponents c = calendar.components(date);
    const QLocale qt = qtLocale(locale);
    // A short time has no seconds, also where the locale's short style has them (the C locale's does).
    QString pattern = qt.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[:.]s+"));
    pattern.remove(seconds);
    return qt.toString(QTime(c.hour, c.minute, c.second), pattern).toStdString();
}

std::string localizedDate(Date date, const Calendar& calendar, std::string_view fields,
                          std::string_view locale) {
    const DateComponents c = calendar.components(date);
    const QLocale qt = qtLocale(locale);
    const QString pattern =
        localPattern(qt, QString::fromUtf8(fields.data(), static_cast<qsizetype>(fields.size())));
    return qt.toString(QDate(c.year, c.month, c.day), pattern).toStdString();
}

std::string wrappedRange(Date start, Date end, const Calendar& calendar, std::string_view locale) {
    return monthDay(start, calendar, locale) + " – " + monthDay(end, calendar, locale);
}

int minuteOfDay(Date date, const Calendar& calendar) {
    return calendar.minuteOfDay(date);
}

Date date(int minuteOfDay, Date now, const Calendar& calendar) {
    if (minuteOfDay < 0 || minuteOfDay > 1439) {
        return now;
    }
    const DateComponents today = calendar.components(now);
    const int hour = minuteOfDay / 60;
    const int minute = minuteOfDay % 60;
    Date result = calendar.date(today.year, today.month, today.day, hour, minute);
    const DateComponents found = calendar.components(result);
    if (found.hour == hour && found.minute == minute) {
        return result;
    }
    // The clock skipped that time and the calendar moved past it by the whole gap: walk back to the
    // first minute after the gap.
    const auto asked = std::tuple(today.year, today.month, today.day, hour, minute);
    const auto isBeforeAsked = [&](Date d) {
        const DateComponents c = calendar.components(d);
        return std::tuple(c.year, c.month, c.day, c.hour, c.minute) < asked;
    };
    for (int step = 0; step < 24 * 60 && !isBeforeAsked(result - 60.0); ++step) {
        result = result - 60.0;
    }
    return result;
}

std::string checkForUpdatesURL() {
    const std::string page = HALVRICK_DOWNLOAD_PAGE;
    return page.empty() ? page : page + "#get";
}

} // namespace halvrick::Copy
