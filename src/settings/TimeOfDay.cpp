#include "settings/TimeOfDay.h"

#include "model/SettingsStore.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace halvrick::TimeOfDay {

QString hourAndMinuteFormat() {
    // Some locales' short format still names seconds or the zone.
    static const QRegularExpression finerThanMinutes(QStringLiteral("[^A-Za-z]*(s+|z+|t+)"));
    return QLocale().timeFormat(QLocale::ShortFormat).remove(finerThanMinutes).trimmed();
}

QTimeEdit* makeEdit(QWidget* parent) {
    auto* edit = new QTimeEdit(parent);
    edit->setDisplayFormat(hourAndMinuteFormat());
    return edit;
}

void show(QTimeEdit& edit, long long minuteOfDay) {
    const auto minute = static_cast<int>(SettingsStore::saneMinuteOfDay(minuteOfDay));
    const QSignalBlocker blocker(edit);
    edit.setTime(QTime(minute / 60, minute % 60));
}

int minuteOf(QTime time) {
    return time.hour() * 60 + time.minute();
}

} // namespace halvrick::TimeOfDay
