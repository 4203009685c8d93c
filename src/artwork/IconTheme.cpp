#include "artwork/IconTheme.h"

#include "artwork/AppIconView.h"
#include "artwork/SvgPicture.h"
#include "core/Error.h"
#include "ui/AtomicFile.h"

#include <QDir>

namespace halvrick::IconTheme {

namespace {

QString appsFolder(const QString& size) {
    return QStringLiteral("hicolor/%1/apps/%2").arg(size, QString::fromLatin1(iconName));
}

} // namespace

std::vector<ArtworkFile> plan() {
    std::vector<ArtworkFile> files;
    for (const int side : sizes) {
        for (const int scale : {1, 2}) {
            const QString size = QStringLiteral("%1x%1%2").arg(side).arg(scale == 2 ? "@2" : "");
            const double pixels = side * scale;
            files.push_back({appsFolder(size) + ".png", QSizeF(pixels, pixels), 1, AppIcon::paint});
        }
    }
    return files;
}

QString scalablePath() {
    return appsFolder(QStringLiteral("scalable")) + ".svg";
}

QByteArray scalableSvg() {
    return SvgPicture::render(AppIcon::paint, QSize(scalableSide, scalableSide), QStringLiteral("Halvrick"));
}

QStringList write(const QString& folder) {
    const QDir root(folder);
    QStringList written;
    for (const ArtworkFile& file : plan()) {
        const QString path = root.filePath(file.path);
        PngExport::writePNG(file.paint, file.size, file.scale, path);
        written.push_back(path);
    }
    const QString svg = root.filePath(scalablePath());
    if (const auto error = AtomicFile::write(svg, scalableSvg())) {
        throw Error(error->toStdString());
    }
    written.push_back(svg);
    return written;
}

} // namespace halvrick::IconTheme
