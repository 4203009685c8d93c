#include "menubar/TrayIconComposer.h"

#include "core/FaceState.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QTransform>
#include <algorithm>
#include <cctype>
#include <cmath>

namespace halvrick {

namespace {

constexpr double side = MenuBarIcons::pointSize;

// Badge: a strip along the bottom, digits 7 points tall as the smallest that still read at 22 pixels.
constexpr double badgeHeight = 9;
constexpr double badgeDigitHeight = 7;
constexpr double badgePadding = 1;
// The clear ring between badge and pea.
constexpr double badgeRing = 1;
// Beside a badge the pea is drawn at this side, top centre: its 22-pixel frame fits the 32-pixel icon
// as it is, and its face ends above the ring.
constexpr double badgedPeaSide = side * 22 / 32;

// Digits alone: never taller than this, so "1" does not turn into a bar.
constexpr double digitsMaxHeight = 14;
constexpr double digitsMargin = 1;
// Below this height a figure with its percent sign no longer reads at 22 pixels.
constexpr double percentSignMinHeight = 9;

QFont digitFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(true);
    // Outlines are scaled to fit afterwards; a large size keeps them precise.
    font.setPixelSize(100);
    return font;
}

// A text as an outline scaled so its digits stand `height` tall, or less when it would be wider than
// `maxWidth`; its box starts at the origin.
QPainterPath fittedText(const QString& text, double height, double maxWidth) {
    const QFont font = digitFont();
    QPainterPath digits;
    digits.addText(0, 0, font, QStringLiteral("0123456789"));
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF reference = digits.boundingRect();
    const QRectF bounds = path.boundingRect();
    const double top = std::min(reference.top(), bounds.top());
    const double bottom = std::max(reference.bottom(), bounds.bottom());
    if (bounds.isEmpty() || bottom <= top) {
        return {};
    }
    double scale = height / (bottom - top);
    if (bounds.width() * scale > maxWidth) {
        scale = maxWidth / bounds.width();
    }
    QTransform transform;
    transform.scale(scale, scale);
    transform.translate(-bounds.left(), -top);
    return transform.map(path);
}

QString figure(int percent) {
    return QString::number(percent);
}

// The figure alone, with its percent sign when that still leaves it tall enough.
QPainterPath digitsPath(int percent) {
    const double maxWidth = side - 2 * digitsMargin;
    QPainterPath withSign = fittedText(figure(percent) + QLatin1Char('%'), digitsMaxHeight, maxWidth);
    if (withSign.boundingRect().height() >= percentSignMinHeight) {
        return withSign;
    }
    return fittedText(figure(percent), digitsMaxHeight, maxWidth);
}

QPainterPath badgeDigitsPath(int percent) {
    return fittedText(figure(percent), badgeDigitHeight, side - 2 * badgePadding);
}

QPainterPath centredIn(const QPainterPath& path, const QRectF& area) {
    const QRectF bounds = path.boundingRect();
    return path.translated(area.center() - bounds.center());
}

// The badge around `digits` (as badgeDigitsPath makes them).
QRectF badgeAround(const QPainterPath& digits) {
    // Whole points, so its edges fall on pixel edges at the smallest size.
    const double width = std::clamp(std::ceil(digits.boundingRect().width() + 2 * badgePadding), badgeHeight, side);
    return QRectF(side - width, side - badgeHeight, width, badgeHeight);
}

// The ring around `badge` in opaque black; the composition mode in force decides that it clears.
void paintRing(QPainter& painter, const QRectF& badge) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const double radius = badgeHeight / 2 + badgeRing;
    painter.drawRoundedRect(badge.adjusted(-badgeRing, -badgeRing, badgeRing, badgeRing), radius, radius);
}

QImage blank(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Paints on a copy of `base` at the 22-point scale of its size.
template <typename Paint> QImage paintedOver(QImage base, int pixels, Paint paint) {
    QImage image = base.isNull() ? blank(pixels) : base.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / side, pixels / side);
    paint(painter);
    painter.end();
    return image;
}

bool containsNoCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

FaceState heatFace(HeatState state) {
    switch (state) {
    case HeatState::chill:
        return FaceState::chill;
    case HeatState::warm:
        return FaceState::warm;
    case HeatState::sweating:
        return FaceState::sweating;
    case HeatState::meltdown:
        return FaceState::meltdown;
    }
    return FaceState::chill;
}

} // namespace

TrayIconComposer::TrayIconComposer(MenuBarIcons& icons) : icons_(icons) {}

int TrayIconComposer::cpuPercent(double cpuLoad) {
    if (std::isnan(cpuLoad)) {
        return 0;
    }
    return static_cast<int>(std::round(std::clamp(cpuLoad, 0.0, 100.0)));
}

QString TrayIconComposer::cpuTitle(double cpuLoad) {
    return figure(cpuPercent(cpuLoad)) + QLatin1Char('%');
}

QString TrayIconComposer::toolTip(HeatState state, MenuBarDisplay display, double cpuLoad) {
    const std::string_view name = title(heatFace(state));
    QString text =
        QStringLiteral("Halvrick: ") + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (display != MenuBarDisplay::face) {
        text += QStringLiteral(", CPU ") + cpuTitle(cpuLoad);
    }
    return text;
}

QColor TrayIconComposer::trayTint(const QPalette& palette, std::string_view currentDesktop,
                                  const std::optional<QColor>& trayForeground) {
    if (trayForeground) {
        return *trayForeground;
    }
    if (containsNoCase(currentDesktop, "gnome")) {
        return Qt::white;
    }
    return palette.color(QPalette::Active, QPalette::WindowText);
}

QRectF TrayIconComposer::badgedPeaRect() {
    return QRectF((side - badgedPeaSide) / 2, 0, badgedPeaSide, badgedPeaSide);
}

QRectF TrayIconComposer::badgeRect(int percent) {
    return badgeAround(badgeDigitsPath(percent));
}

QRectF TrayIconComposer::digitsRect(int percent) {
    QRectF bounds = digitsPath(percent).boundingRect();
    bounds.moveCenter(QPointF(side / 2, side / 2));
    return bounds;
}

void TrayIconComposer::paintBadge(QPainter& painter, int percent, const PeaStyle& style, const QColor& tint) {
    const QPainterPath digits = badgeDigitsPath(percent);
    paintBadgeAround(painter, digits, badgeAround(digits), style, tint);
}

void TrayIconComposer::paintBadgeAround(QPainter& painter, const QPainterPath& outline, const QRectF& badge,
                                        const PeaStyle& style, const QColor& tint) {
    const double radius = badgeHeight / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    paintRing(painter, badge);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor fill = style.monochrome ? tint : style.highContrast ? QColor(Qt::black) : QColor(28, 28, 30);
    painter.setBrush(fill);
    painter.drawRoundedRect(badge, radius, radius);
    const QPainterPath digits = centredIn(outline, badge);
    if (style.monochrome) {
        // A tinted image has one colour: the digits are holes through the badge.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        painter.setBrush(Qt::black);
    } else {
        painter.setBrush(Qt::white);
    }
    painter.drawPath(digits);
    painter.restore();
}

void TrayIconComposer::paintDigits(QPainter& painter, int percent, const QColor& tint) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    painter.drawPath(centredIn(digitsPath(percent), QRectF(0, 0, side, side)));
    painter.restore();
}

void TrayIconComposer::forgetUnless(const Look& look) {
    if (look_ != look) {
        look_ = look;
        badged_.clear();
        digits_.reset();
        badgeLayers_.reset();
    }
}

const TrayIconComposer::Images& TrayIconComposer::smallPea(const MenuBarIcons::Frame& frame) {
    const std::int64_t key = frame.icon.cacheKey();
    if (const auto found = smallPeas_.find(key); found != smallPeas_.end()) {
        return found->second;
    }
    Images peas;
    for (std::size_t i = 0; i < MenuBarIcons::pixelSizes.size(); ++i) {
        const int pixels = MenuBarIcons::pixelSizes[i];
        const int wanted = static_cast<int>(std::lround(badgedPeaSide * pixels / side));
        // The smallest render at least as large, scaled down with area averaging when it is larger.
        std::size_t source = 0;
        while (source + 1 < frame.images.size() && frame.images[source].width() < wanted) {
            ++source;
        }
        const QImage& image = frame.images[source];
        peas[i] = image.width() == wanted
                      ? image
                      : image.scaled(wanted, wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return smallPeas_.emplace(key, std::move(peas)).first->second;
}

const TrayIconComposer::BadgeLayers& TrayIconComposer::badgeLayers(const Look& look) {
    if (!badgeLayers_) {
        BadgeLayers layers;
        // The figure's outline once for every size.
        const QPainterPath digits = badgeDigitsPath(look.percent);
        const QRectF badge = badgeAround(digits);
        for (std::size_t i = 0; i < MenuBarIcons::pixelSizes.size(); ++i) {
            const int pixels = MenuBarIcons::pixelSizes[i];
            layers.ring[i] = paintedOver(QImage(), pixels, [&](QPainter& painter) { paintRing(painter, badge); });
            layers.badge[i] = paintedOver(QImage(), pixels, [&](QPainter& painter) {
                paintBadgeAround(painter, digits, badge, look.style, QColor::fromRgba(look.tint));
            });
        }
        badgeLayers_ = std::move(layers);
    }
    return *badgeLayers_;
}

QIcon TrayIconComposer::badged(const MenuBarIcons::Frame& frame, const Look& look) {
    forgetUnless(look);
    const std::int64_t key = frame.icon.cacheKey();
    if (const auto found = badged_.find(key); found != badged_.end()) {
        return found->second;
    }
    const Images& peas = smallPea(frame);
    const BadgeLayers& layers = badgeLayers(look);
    QIcon icon;
    for (std::size_t i = 0; i < MenuBarIcons::pixelSizes.size(); ++i) {
        const int pixels = MenuBarIcons::pixelSizes[i];
        QImage image = blank(pixels);
        QPainter painter(&image);
        const QRectF pea = badgedPeaRect();
        const double k = pixels / side;
        painter.drawImage(QPointF(std::round(pea.left() * k), 0), peas[i]);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        painter.drawImage(0, 0, layers.ring[i]);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(0, 0, layers.badge[i]);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return badged_.emplace(key, icon).first->second;
}

QIcon TrayIconComposer::digits(const Look& look) {
    forgetUnless(look);
    if (!digits_) {
        QIcon icon;
        for (const int pixels : MenuBarIcons::pixelSizes) {
            icon.addPixmap(QPixmap::fromImage(paintedOver(QImage(), pixels, [&](QPainter& painter) {
                paintDigits(painter, look.percent, QColor::fromRgba(look.tint));
            })));
        }
        digits_ = icon;
    }
    return *digits_;
}

std::vector<QIcon> TrayIconComposer::frames(const std::vector<PeaFace>& faces, MenuBarDisplay display,
                                            double cpuLoad, const PeaStyle& style, const QColor& tint) {
    const Look look{cpuPercent(cpuLoad), style, tint.rgba()};
    if (display == MenuBarDisplay::cpu) {
        return {digits(look)};
    }
    std::vector<QIcon> icons;
    icons.reserve(faces.size());
    for (const PeaFace& face : faces) {
        const MenuBarIcons::Frame frame = icons_.frame(face, style, tint);
        icons.push_back(display == MenuBarDisplay::face ? frame.icon : badged(frame, look));
    }
    return icons;
}

} // namespace halvrick
