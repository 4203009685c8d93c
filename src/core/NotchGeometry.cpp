#include "core/NotchGeometry.h"

#include <algorithm>

namespace halvrick::NotchGeometry {

double Rect::minX() const {
    return std::min(x, x + width);
}
double Rect::maxX() const {
    return std::max(x, x + width);
}

std::optional<double> notchWidth(const Rect& left, const Rect& right, double safeTop) {
    if (!(safeTop > 0)) {
        return std::nullopt;
    }
    const double width = right.minX() - left.maxX();
    // Written as a range test so that a NaN gap is refused too.
    if (!(width >= minimumWidth && width <= maximumWidth)) {
        return std::nullopt;
    }
    return width;
}

} // namespace halvrick::NotchGeometry
