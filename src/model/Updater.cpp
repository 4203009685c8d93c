#include "model/Updater.h"

#include "model/Copy.h"

#include <QDesktopServices>
#include <QString>
#include <iostream>

namespace halvrick {

Updater& Updater::shared() {
    static Updater updater(
        Copy::checkForUpdatesURL(), [](const QUrl& url) { QDesktopServices::openUrl(url); }, std::cerr);
    return updater;
}

Updater::Updater(std::string downloadPage, URLOpener openURL, std::ostream& log)
    : downloadPage_(std::move(downloadPage)), openURL_(std::move(openURL)), log_(log) {}

void Updater::start() {
    log_ << "Halvrick: the updater could not start (there is no update framework on Linux).\n";
}

void Updater::checkForUpdates() {
    const QUrl url(QString::fromStdString(downloadPage_), QUrl::StrictMode);
    // Only a web page: any other address handed to the desktop could open a local file or a program.
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != "https" && scheme != "http") || url.host().isEmpty() || !openURL_) {
        return;
    }
    openURL_(url);
}

} // namespace halvrick
