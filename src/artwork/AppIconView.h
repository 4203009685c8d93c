#pragma once

#include "core/PeaFace.h"

#include <QRectF>
#include <QSizeF>
#include <QWidget>

class QPainter;

namespace halvrick {

// The application icon: a pale green rounded tile with a soft shadow and the pea on it, at any size.
namespace AppIcon {

// The tile's side: 824/1024 of the shorter side of the area, leaving a transparent margin around it.
double tileSide(QSizeF size);
// The tile, centred in the area.
QRectF tileRect(QSizeF size);
// The tile's outline never gets thinner than half a point.
double strokeWidth(QSizeF size);
// Small icons draw the pea as plainly as the tray does.
PeaFace::Detail peaDetail(QSizeF size);

void paint(QPainter& painter, QSizeF size);

} // namespace AppIcon

// The icon filling the widget.
class AppIconView : public QWidget {
public:
    explicit AppIconView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace halvrick
