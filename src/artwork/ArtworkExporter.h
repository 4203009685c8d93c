#pragma once

#include "core/FaceState.h"
#include "model/LaunchOptions.h"
#include "ui/PngExport.h"

#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace halvrick {

// One file of an export: where it goes under the export folder, its size in points, its pixels per
// point and what it shows.
struct ArtworkFile {
    QString path;
    QSizeF size;
    double scale = 1;
    CardPainter paint;
    // Also written under its file name to the icon folder of the source tree, when there is one.
    bool isAppIcon = false;

    QSize pixels() const;
};

// Renders the mascot's artwork set and the web assets to PNG files, from the artwork lab and from the
// command line. Main thread only, synchronous; needs a QGuiApplication. Every operation that writes
// throws Error at the first file that fails and leaves the files written before it.
namespace ArtworkExporter {

struct IconSize {
    int points;
    int scale;
};

// The application icon set.
inline constexpr std::array<IconSize, 10> iconSizes{
    {{16, 1}, {16, 2}, {32, 1}, {32, 2}, {128, 1}, {128, 2}, {256, 1}, {256, 2}, {512, 1}, {512, 2}}};
inline constexpr std::array<int, 3> fullSizes{64, 96, 240};
inline constexpr std::array<FaceState, 5> popoverStripFaces{
    FaceState::sweating, FaceState::meltdown, FaceState::tired, FaceState::napping, FaceState::celebrating};
inline constexpr std::array<int, 3> marketingWidths{512, 1024, 2048};
inline constexpr std::array<FaceState, 8> webFaces{
    FaceState::chill,   FaceState::warm,    FaceState::sweating, FaceState::meltdown,
    FaceState::napping, FaceState::sideEye, FaceState::confused, FaceState::celebrating};

// A path or message for one printed or shown line: control and direction characters, which could break
// or reorder it, become U+FFFD.
QString oneLine(QString text);

// "icon_16x16.png", "icon_16x16@2x.png", ...
QString iconName(IconSize icon);

// The 125 files of the full export and the 12 web assets, in the order they are written.
std::vector<ArtworkFile> plan();
std::vector<ArtworkFile> webPlan();

// Where the exports go when no folder is given: "Halvrick Artwork" and "Halvrick Web Assets" on the
// desktop, or in the working directory without a desktop. Never the data folders of a source tree the
// program happens to run in. Nothing is created.
QString defaultFolder(const QString& workingDirectory, const QString& desktop);
QString defaultFolder();
QString defaultWebFolder(const QString& workingDirectory, const QString& desktop);
QString defaultWebFolder();
// The icon set kept in the source tree, "data/icons" beside the top-level CMakeLists.txt of the
// working directory, when an export into `folder` refreshes it too: only when `folder` lies in that
// tree, so no export writes into a source tree it was not pointed into.
std::optional<QString> appIconFolder(const QString& workingDirectory, const QString& folder);

// Creates `folder`, then writes the full set; returns the absolute paths written under `folder`, in
// order. The icons also go to the source tree's icon folder when appIconFolder names one; those copies
// are not in the list.
QStringList exportAll(const QString& folder);
// Writes the web assets (each write makes its folder); returns the paths written, in order.
QStringList exportWebAssets(const QString& folder);

// The command-line export of `kind` into `folder` (the default when none): prints one line to `out` and
// returns the exit status, 0 or 1.
int run(LaunchOptions::Export kind, const std::optional<std::string>& folder, std::ostream& out);

} // namespace ArtworkExporter

} // namespace halvrick
