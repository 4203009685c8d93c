#include "ui/CardExport.h"

#include "ui/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace halvrick::CardExport {

namespace {

// Far beyond a 1200 x 1200 card; anything larger at that place is not ours.
constexpr qint64 largestCard = 64 * 1024 * 1024;

} // namespace

Outcome save(const QString& source, SavePathChooser& chooser, QWidget* parent) {
    const SaveRequest request{QFileInfo(source).fileName(), QStringLiteral("PNG image (*.png)"),
                              QStringLiteral("png")};
    const std::optional<QString> chosen = chooser.choose(parent, request);
    if (!chosen) {
        return Outcome::cancelled;
    }
    const QString destination = SavePathChooser::withSuffix(*chosen, request.suffix);
    if (QFileInfo(destination).canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
        return QFileInfo(source).isFile() ? Outcome::saved : Outcome::failed;
    }
    QFile file(source);
    if (!QFileInfo(source).isFile() || file.size() > largestCard || !file.open(QIODevice::ReadOnly)) {
        return Outcome::failed;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        return Outcome::failed;
    }
    return AtomicFile::write(destination, bytes) ? Outcome::failed : Outcome::saved;
}

} // namespace halvrick::CardExport
