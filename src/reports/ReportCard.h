#pragma once

#include "core/StatsQueries.h"
#include "model/ReportPeriod.h"
#include "ui/CardLook.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace halvrick {

struct AppKey;

// The square picture of one report period: title and range, the hot time, four stats and the top
// culprits with their icons.
namespace ReportCard {

inline constexpr std::size_t culpritCount = 3;
inline constexpr int iconSize = 28;

struct Culprit {
    QString name;
    QString duration;
    // Drawn at 28 x 28 points.
    QImage icon;
};

struct Content {
    QString title;
    // Empty when the period has no stored days.
    QString range;
    QString hotTime;
    std::vector<CardLook::Stat> stats;
    QString heading;
    // At most three, the first one in bold.
    std::vector<Culprit> culprits;
};

// An application's icon as `pixels` square pixels.
using IconSource = std::function<QImage(const AppKey& key, int pixels)>;

Content make(ReportPeriod period, const StatsTotals& totals, Date now, const Calendar& calendar,
             const IconSource& icons);
// Paints the card into (0, 0, size); laid out for 600 x 600 points.
void paint(QPainter& painter, QSizeF size, const Content& content);

} // namespace ReportCard

} // namespace halvrick
