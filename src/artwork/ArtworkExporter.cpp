#include "artwork/ArtworkExporter.h"

#include "artwork/AppIconView.h"
#include "artwork/ArtworkGridView.h"
#include "artwork/ArtworkStrips.h"
#include "artwork/PeaTile.h"
#include "core/Error.h"
#include "core/HeadsUp.h"
#include "model/Copy.h"
#include "pea/NotchPeekView.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <memory>

namespace halvrick {

QSize ArtworkFile::pixels() const {
    return {qRound(size.width() * scale), qRound(size.height() * scale)};
}

namespace ArtworkExporter {

namespace {

constexpr double notchWidth = 179;
constexpr double notchHeight = 32;
constexpr double marketingSide = 512;

QString name(FaceState state) {
    const std::string_view raw = toString(state);
    return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
}

// The first four moods are the heat levels, under the same names.
QString name(HeatState heat) {
    return name(allFaceStates[static_cast<std::size_t>(rawValue(heat))]);
}

CardPainter pea(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style = {}) {
    return [face, detail, style](QPainter& painter, QSizeF size) {
        PeaTile::draw(painter, QRectF(QPointF(0, 0), size), face, detail, style);
    };
}

// The heads-up of a machine melting down at 91 %, mild voice, fully shown on a light grey.
CardPainter notchPeekSample() {
    const HeadsUp headsUp = HeadsUp::heatingUp(HeatState::meltdown, std::nullopt, 91);
    auto state =
        std::make_shared<NotchPeekState>(QString::fromStdString(Copy::headsUp(headsUp, Personality::mild)),
                                         PeaFace::heat(HeatState::meltdown), PeaStyle{}, false, [] {});
    state->setVisible(true);
    return [state](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor::fromRgbF(0.92, 0.92, 0.92));
        paintNotchPeek(painter, *state, notchWidth, notchHeight);
    };
}

QSizeF square(double side) {
    return {side, side};
}

void writeFile(const ArtworkFile& file, const QString& path) {
    PngExport::writePNG(file.paint, file.size, file.scale, path);
}

QString absolute(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

std::string wrote(const QStringList& files, const QString& folder) {
    return "Wrote " + std::to_string(files.size()) + " files to " + absolute(folder).toStdString();
}

} // namespace

QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

QString iconName(IconSize icon) {
    return QStringLiteral("icon_%1x%1%2.png").arg(icon.points).arg(icon.scale == 2 ? "@2x" : "");
}

std::vector<ArtworkFile> plan() {
    std::vector<ArtworkFile> files;
    files.push_back({QStringLiteral("grid.png"), ArtworkGrid::size(), 2, ArtworkGrid::paint});
    files.push_back({QStringLiteral("notch-peek.png"),
                     QSizeF(NotchPeekLayout::width, NotchPeekLayout::height(notchHeight)), 2,
                     notchPeekSample()});
    for (const FaceState state : allFaceStates) {
        const PeaFace face = halvrick::face(state, HeatState::sweating);
        const QString stem = QStringLiteral("state-") + name(state);
        files.push_back({stem + "-menubar@2x.png", square(18), 2, pea(face, PeaFace::Detail::menuBar)});
        files.push_back({stem + "-menubar-mono@2x.png", square(18), 2,
                         pea(face, PeaFace::Detail::menuBar, PeaStyle{true, false})});
        for (const int side : fullSizes) {
            files.push_back({stem + QStringLiteral("-%1@2x.png").arg(side), square(side), 2,
                             pea(face, PeaFace::Detail::full)});
        }
    }
    for (const HeatState heat : allHeatStates) {
        files.push_back(
            {QStringLiteral("anim-") + name(heat) + "-menubar.png", ArtworkStrips::menuBarSize(heat), 4,
             [heat](QPainter& painter, QSizeF size) { ArtworkStrips::paintMenuBar(painter, size, heat); }});
    }
    for (const FaceState state : popoverStripFaces) {
        files.push_back(
            {QStringLiteral("anim-") + name(state) + "-popover.png", ArtworkStrips::popoverSize(), 2,
             [state](QPainter& painter, QSizeF size) { ArtworkStrips::paintPopover(painter, size, state); }});
    }
    files.push_back({QStringLiteral("icon-1024.png"), square(1024), 1, AppIcon::paint});
    for (const IconSize icon : iconSizes) {
        files.push_back({QStringLiteral("appicon/") + iconName(icon), square(icon.points * icon.scale), 1,
                         AppIcon::paint, true});
    }
    const PeaFace hello = halvrick::face(FaceState::hello, HeatState::chill);
    for (const int width : marketingWidths) {
        files.push_back({QStringLiteral("marketing-hello-%1.png").arg(width), square(marketingSide),
                         width / marketingSide, pea(hello, PeaFace::Detail::full)});
    }
    return files;
}

std::vector<ArtworkFile> webPlan() {
    std::vector<ArtworkFile> files;
    for (const HeatState heat : allHeatStates) {
        files.push_back({QStringLiteral("pea-menubar-") + name(heat) + ".png", square(40), 3,
                         pea(PeaFace::heat(heat), PeaFace::Detail::menuBar)});
    }
    for (const FaceState state : webFaces) {
        files.push_back({QStringLiteral("pea-") + name(state) + "@2x.png", square(480), 2,
                         pea(halvrick::face(state, HeatState::sweating), PeaFace::Detail::full)});
    }
    return files;
}

namespace {

QString onDesktop(const QString& workingDirectory, const QString& desktop, const QString& name) {
    return QDir(desktop.isEmpty() ? workingDirectory : desktop).filePath(name);
}

QString desktop() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace

QString defaultFolder(const QString& workingDirectory, const QString& desktop) {
    return onDesktop(workingDirectory, desktop, QStringLiteral("Halvrick Artwork"));
}

QString defaultFolder() {
    return defaultFolder(QDir::currentPath(), desktop());
}

QString defaultWebFolder(const QString& workingDirectory, const QString& desktop) {
    return onDesktop(workingDirectory, desktop, QStringLiteral("Halvrick Web Assets"));
}

QString defaultWebFolder() {
    return defaultWebFolder(QDir::currentPath(), desktop());
}

std::optional<QString> appIconFolder(const QString& workingDirectory, const QString& folder) {
    const QDir tree(absolute(workingDirectory));
    const QString icons = tree.filePath(QStringLiteral("data/icons"));
    const QString target = absolute(folder);
    const bool insideTree = target == tree.path() || target.startsWith(tree.path() + QLatin1Char('/'));
    if (!insideTree || !QFileInfo(tree.filePath(QStringLiteral("CMakeLists.txt"))).isFile() ||
        !QFileInfo(icons).isDir()) {
        return std::nullopt;
    }
    return icons;
}

QStringList exportAll(const QString& folder) {
    const QDir target(absolute(folder));
    if (!QDir().mkpath(target.path())) {
        throw Error(QStringLiteral("Cannot create the folder %1").arg(target.path()).toStdString());
    }
    QStringList written;
    bool iconFolderAsked = false;
    std::optional<QString> iconFolder;
    for (const ArtworkFile& file : plan()) {
        if (file.isAppIcon && !iconFolderAsked) {
            iconFolder = appIconFolder(QDir::currentPath(), folder);
            iconFolderAsked = true;
        }
        const QString path = target.filePath(file.path);
        writeFile(file, path);
        written.push_back(path);
        if (file.isAppIcon && iconFolder) {
            writeFile(file, QDir(*iconFolder).filePath(QFileInfo(file.path).fileName()));
        }
    }
    return written;
}

QStringList exportWebAssets(const QString& folder) {
    const QDir target(absolute(folder));
    QStringList written;
    for (const ArtworkFile& file : webPlan()) {
        const QString path = target.filePath(file.path);
        writeFile(file, path);
        written.push_back(path);
    }
    return written;
}

int run(LaunchOptions::Export kind, const std::optional<std::string>& folder, std::ostream& out) {
    const bool artwork = kind == LaunchOptions::Export::artwork;
    const QString target = folder    ? QString::fromStdString(*folder)
                           : artwork ? defaultFolder()
                                     : defaultWebFolder();
    try {
        const QStringList files = artwork ? exportAll(target) : exportWebAssets(target);
        out << oneLine(QString::fromStdString(wrote(files, target))).toStdString() << std::endl;
        return 0;
    } catch (const std::exception& error) {
        out << (artwork ? "Artwork export failed: " : "Web asset export failed: ")
            << oneLine(QString::fromUtf8(error.what())).toStdString() << std::endl;
        return 1;
    }
}

} // namespace ArtworkExporter

} // namespace halvrick
