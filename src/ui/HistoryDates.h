#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <QString>

namespace halvrick {

// Dates in the report windows and on the cards, all in one style: the user's locale, as the ranges of
// Copy::wrappedRange are. A pattern here is a template: its letters name the fields and the length of
// their names, the locale gives their order and what stands between them ("MMM d" reads "Dec 4" in
// American English and "4. Dez." in German).
namespace HistoryDates {

inline constexpr const char* shortDay = "MMM d";
inline constexpr const char* longDay = "MMMM d";
inline constexpr const char* shortMonth = "MMM";
inline constexpr const char* weekdayDay = "dddd, MMMM d";
inline constexpr const char* mediumDate = "MMM d, yyyy";

QString format(Date date, const Calendar& calendar, const char* pattern);
// The medium date and the short time, joined as Qt joins a short date and time.
QString dateAndTime(Date date, const Calendar& calendar);

} // namespace HistoryDates

} // namespace halvrick
