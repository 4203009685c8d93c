#pragma once

#include <QString>
#include <QTime>

class QTimeEdit;
class QWidget;

namespace halvrick {

// Times of day as the settings keep them, minutes since midnight, in hour-and-minute fields.
namespace TimeOfDay {

// The user's short time format with hours and minutes only.
QString hourAndMinuteFormat();
// A field of hours and minutes in that format.
QTimeEdit* makeEdit(QWidget* parent);
// Shows a stored minute without announcing it; one outside the day shows as the nearest minute in it.
void show(QTimeEdit& edit, long long minuteOfDay);
int minuteOf(QTime time);

} // namespace TimeOfDay

} // namespace halvrick
