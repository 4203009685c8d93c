#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <functional>
#include <string>
#include <string_view>

namespace halvrick {

// The development log that HALVRICK_LOG turns on: one line per event on standard output.
namespace SampleLog {

using Writer = std::function<void(const std::string& line)>;

// Writes the line and flushes it, so a pipe sees every event as it happens. Names in it are other
// programs' words: their line breaks and bidi controls are written as escapes, so one event stays one line.
void writeToStandardOutput(const std::string& line);

// "HH:mm:ss.S" in the calendar's time zone; S is the tenth of the second, truncated.
std::string stamp(Date date, const Calendar& calendar);
// `line` as the log writes it: "[HH:mm:ss.S] " and the line.
std::string stamped(std::string_view line, Date date, const Calendar& calendar);

} // namespace SampleLog

} // namespace halvrick
