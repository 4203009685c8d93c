#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <string>

namespace halvrick {

// How long ago a vitals event happened, in words: "now", "5 minutes ago", "yesterday", "3 days ago",
// "last week", "last month", "2 years ago". The largest whole unit counts; a date ahead of `now` (a
// clock set back) reads "in 5 minutes", "tomorrow", "next week".
namespace VitalsEventAge {

std::string text(Date date, Date now, const Calendar& calendar);

} // namespace VitalsEventAge

} // namespace halvrick
