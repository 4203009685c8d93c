#include "model/Updater.h"

#include "model/Copy.h"
#include "model/WebAddress.h"

#include <QDesktopServices>
#include <iostream>

namespace halvrick {

Updater& Updater::shared() {
    static Updater updater(
        Copy::checkForUpdatesURL(), [](const QUrl& url) { QDesktopServices::openUrl(url); }, std::cerr);
    return updater;
}

Updater::Updater(std::string downloadPage, URLOpener openURL, std::ostream& log)
    : downloadPage_(std::move(downloadPage)), openURL_(std::move(openURL)), log_(log) {}

bool Updater::hasSource() const {
    return webAddress(downloadPage_).has_value();
}

void Updater::start() {
    // Without a source there is nothing to say: nothing is offered.
    if (hasSource()) {
        log_ << "Halvrick: the updater could not start (there is no update framework on Linux).\n";
    }
}

void Updater::checkForUpdates() {
    if (const auto url = webAddress(downloadPage_); url && openURL_) {
        openURL_(*url);
    }
}

} // namespace halvrick
