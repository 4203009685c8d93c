#pragma once

#include "artwork/ArtworkExporter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace halvrick {

// The application icon laid out as the desktop's hicolor icon theme expects it, under the name the
// desktop entry gives: a PNG at every common size and at twice its pixels, and one scalable SVG, all
// drawn by AppIcon. The symbolic icon is kept as a file in data/icons.
namespace IconTheme {

inline constexpr const char* iconName = "halvrick";
inline constexpr std::array<int, 9> sizes{16, 22, 24, 32, 48, 64, 128, 256, 512};
// The scalable icon's own size; the theme scales it from there.
inline constexpr int scalableSide = 256;

// Every PNG, its path under the themes folder ("hicolor/22x22/apps/halvrick.png",
// "hicolor/22x22@2/apps/halvrick.png", ...), drawn at scale 1 on its full pixel size, as the exported
// icon set is.
std::vector<ArtworkFile> plan();
// "hicolor/scalable/apps/halvrick.svg".
QString scalablePath();
// The scalable icon: the tile and the pea as vector shapes; only the tile's soft shadow is a picture.
// Its size in pixels is scalableSide.
QByteArray scalableSvg();
// Writes every PNG and the SVG under `folder` (the themes folder, holding "hicolor"), each atomically;
// returns the paths written. Throws Error at the first file that fails.
QStringList write(const QString& folder);

} // namespace IconTheme

} // namespace halvrick
