#include "model/SampleLog.h"

#include "core/DisplayText.h"

#include <cstdio>
#include <iostream>

namespace halvrick::SampleLog {

void writeToStandardOutput(const std::string& line) {
    std::cout << DisplayText::escapedForLog(line) << '\n' << std::flush;
}

std::string stamp(Date date, const Calendar& calendar) {
    const DateComponents c = calendar.components(date);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%d", c.hour, c.minute, c.second,
                  c.nanosecond / 100'000'000);
    return text;
}

std::string stamped(std::string_view line, Date date, const Calendar& calendar) {
    std::string result = "[";
    result += stamp(date, calendar);
    result += "] ";
    result += line;
    return result;
}

} // namespace halvrick::SampleLog
