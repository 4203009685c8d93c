#include "ui/SavePathChooser.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace halvrick {

QString SavePathChooser::withSuffix(const QString& path, const QString& suffix) {
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0) {
        return path;
    }
    return path + QLatin1Char('.') + suffix;
}

std::optional<QString> FileDialogChooser::choose(QWidget* parent, const SaveRequest& request) {
    const auto location = request.suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0
                              ? QStandardPaths::PicturesLocation
                              : QStandardPaths::DocumentsLocation;
    QString start = QStandardPaths::writableLocation(location);
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        start = QDir::homePath();
    }
    QFileDialog dialog(parent);
    // A desktop's own dialog may need GLib's event loop to answer at all; without it Qt's dialog is sure.
    const QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    dialog.setOption(QFileDialog::DontUseNativeDialog,
                     loop == nullptr || !loop->inherits("QEventDispatcherGlib"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(start);
    dialog.setNameFilter(request.nameFilter);
    dialog.setDefaultSuffix(request.suffix);
    dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return withSuffix(chosen, request.suffix);
}

} // namespace halvrick
