#include "ui/HistoryDates.h"

#include "model/Copy.h"

namespace halvrick::HistoryDates {

QString format(Date date, const Calendar& calendar, const char* pattern) {
    return QString::fromStdString(Copy::localizedDate(date, calendar, pattern));
}

QString dateAndTime(Date date, const Calendar& calendar) {
    return format(date, calendar, mediumDate) + QLatin1Char(' ') +
           QString::fromStdString(Copy::timeFormatter(date, calendar));
}

} // namespace halvrick::HistoryDates
