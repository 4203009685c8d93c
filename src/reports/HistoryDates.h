#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <QDate>
#include <QString>

namespace halvrick {

// Dates in the report windows, written in English patterns as the rest of their text is.
namespace HistoryDates {

inline constexpr const char* shortDay = "MMM d";
inline constexpr const char* longDay = "MMMM d";
inline constexpr const char* shortMonth = "MMM";
inline constexpr const char* weekdayDay = "dddd, MMMM d";

// The local calendar day of `date`.
QDate localDay(Date date, const Calendar& calendar);
QString format(Date date, const Calendar& calendar, const char* pattern);

} // namespace HistoryDates

} // namespace halvrick
