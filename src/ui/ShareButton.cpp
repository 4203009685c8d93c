#include "ui/ShareButton.h"

#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>

namespace halvrick {

ShareButton::ShareButton(const QString& title, MakeFile makeFile, QWidget* parent)
    : QPushButton(title, parent), makeFile_(std::move(makeFile)), openUrl_(&QDesktopServices::openUrl) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ShareButton::share);
}

void ShareButton::setMakeFile(MakeFile makeFile) {
    makeFile_ = std::move(makeFile);
}

void ShareButton::setOpenUrl(OpenUrl openUrl) {
    openUrl_ = std::move(openUrl);
}

void ShareButton::open(const QUrl& url, const char* failure) {
    if (!openUrl_(url)) {
        QToolTip::showText(QCursor::pos(), QString::fromUtf8(failure), this);
    }
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
    menu_->addAction(QString::fromLatin1(openTitle), this,
                     [this, file] { open(QUrl::fromLocalFile(file), noViewerText); });
    menu_->addAction(QString::fromLatin1(showTitle), this, [this, file] {
        open(QUrl::fromLocalFile(QFileInfo(file).absolutePath()), noFileManagerText);
    });
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

} // namespace halvrick
