#pragma once

#include "core/DailyGrade.h"
#include "core/Personality.h"
#include "core/StatsQueries.h"
#include "ui/CardLook.h"

#include <QColor>
#include <QSizeF>
#include <QString>
#include <optional>

class QPainter;

namespace halvrick {

// The square picture of today's grade, made to be shared: a gradient after the letter, the letter in
// a tile, the score and its sentence, three stats, the main culprit and a celebrating pea.
namespace GradeCard {

struct Content {
    DailyGrade grade;
    DailyTotals day;
    // The day's main culprit; none reads "Nobody in particular.".
    std::optional<std::string> culprit;
    Personality personality = Personality::mild;
    // The day as "Tuesday, December 8".
    QString dateText;
};

struct Gradient {
    QColor top;
    QColor bottom;
};

Gradient background(DailyGrade::Letter letter);
// The letter's colour, light appearance unless asked otherwise.
QColor tint(DailyGrade::Letter letter, bool dark = false, bool highContrast = false);
// The values of the three stat tiles, value first: hot time, breaks, longest stretch (the active time
// when no stretch was recorded).
std::vector<CardLook::Stat> stats(const DailyTotals& day);
QString culpritLine(const Content& content);

// Paints the card into (0, 0, size); laid out for 600 x 600 points.
void paint(QPainter& painter, QSizeF size, const Content& content);

} // namespace GradeCard

} // namespace halvrick
