#pragma once

#include "core/NotchGeometry.h"

#include <QRect>
#include <optional>

namespace halvrick {

// A screen as the notch peek needs it.
struct NotchScreen {
    QRect frame;
    // The usable strips left and right of a camera notch, when the screen reports them.
    std::optional<NotchGeometry::Rect> auxiliaryTopLeftArea;
    std::optional<NotchGeometry::Rect> auxiliaryTopRightArea;
    // The height of the top band the notch sits in.
    double safeAreaTop = 0;
};

// Describes the screen that holds the tray icon.
class NotchScreenInfo {
public:
    virtual ~NotchScreenInfo() = default;
    // None when that screen is unknown.
    virtual std::optional<NotchScreen> trayScreen() const = 0;
};

// Linux reports no camera notch on any screen, so the peek is never shown and heads-ups use the bubble.
class SystemNotchScreenInfo final : public NotchScreenInfo {
public:
    std::optional<NotchScreen> trayScreen() const override { return std::nullopt; }
};

} // namespace halvrick
