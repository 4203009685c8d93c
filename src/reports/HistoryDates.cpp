#include "reports/HistoryDates.h"

#include <QLocale>

namespace halvrick::HistoryDates {

QDate localDay(Date date, const Calendar& calendar) {
    const DateComponents c = calendar.components(date);
    return QDate(c.year, c.month, c.day);
}

QString format(Date date, const Calendar& calendar, const char* pattern) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(localDay(date, calendar), QString::fromLatin1(pattern));
}

} // namespace halvrick::HistoryDates
