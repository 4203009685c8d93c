#pragma once

#include "core/FaceState.h"
#include "pea/PeaStyle.h"

#include <QSizeF>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QPainter;
class QRectF;

namespace halvrick {

// The contact sheet of the mascot: one row per mood with its tray face on six test backgrounds and its
// popover face in three sizes and contrasts.
namespace ArtworkGrid {

inline constexpr double headerHeight = 24;
inline constexpr double rowHeight = 112;
inline constexpr double labelWidth = 132;
inline constexpr double leadingPad = 6;
inline constexpr double barWidth = 44;
inline constexpr double barHeight = 30;
inline constexpr double cellSide = 112;

inline constexpr const char* headerTitle = "Halvrick · 18 pt tray · 64 / 96 pt popover";
inline constexpr const char* heatFaceNote = "tray shows heat face";

// One test background of the tray face.
struct Bar {
    QString title;
    std::function<void(QPainter&, const QRectF&)> background;
    PeaStyle style;
    bool invert = false;
};

// White, Black, Gray, Busy, Mono light, Mono dark.
const std::vector<Bar>& bars();
// The titles over the three popover columns.
const std::vector<QString>& popoverTitles();
// A row's face: its mood at sweating heat.
PeaFace rowFace(FaceState state);
// 738 x 2264 points for twenty moods.
QSizeF size();

void paint(QPainter& painter, QSizeF size);

} // namespace ArtworkGrid

// The grid at its own size, for a scroll area.
class ArtworkGridView : public QWidget {
public:
    explicit ArtworkGridView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace halvrick
