#include "ui/ShareButton.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace halvrick {

ShareButton::ShareButton(const QString& title, MakeFile makeFile, QWidget* parent)
    : QPushButton(title, parent), makeFile_(std::move(makeFile)),
      openFile_([](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ShareButton::share);
}

void ShareButton::setMakeFile(MakeFile makeFile) {
    makeFile_ = std::move(makeFile);
}

void ShareButton::setOpenFile(OpenFile openFile) {
    openFile_ = std::move(openFile);
}

QMimeData* ShareButton::clipboardData(const QString& path) {
    auto* data = new QMimeData;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        data->setData(QStringLiteral("image/png"), bytes);
        data->setImageData(QImage::fromData(bytes, "PNG"));
    }
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

void ShareButton::share() {
    if (!makeFile_) {
        return;
    }
    const std::optional<QString> path = makeFile_();
    if (!path) {
        return;
    }
    if (menu_) {
        menu_->deleteLater();
    }
    menu_ = new QMenu(this);
    const QString file = *path;
    menu_->addAction(QString::fromLatin1(copyTitle), this,
                     [file] { QGuiApplication::clipboard()->setMimeData(clipboardData(file)); });
    menu_->addAction(QString::fromLatin1(openTitle), this, [this, file] {
        if (openFile_) {
            openFile_(file);
        }
    });
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

} // namespace halvrick
