#pragma once

#include <QRectF>

class QPainter;

namespace halvrick {

// A busy, colourful test background: a diagonal sunset gradient with a teal circle, a pale circle and a
// dark bar over it, never drawing outside `area`.
namespace BusyBackground {

void paint(QPainter& painter, const QRectF& area);

} // namespace BusyBackground

} // namespace halvrick
