#pragma once

#include <QUrl>
#include <functional>
#include <iosfwd>
#include <string>

namespace halvrick {

// Checking for updates. Linux has no in-place update framework: the updater is never configured and
// never starts, and checking opens the download page in the browser. A build without a download page
// has no update source: checking is then not offered at all. Main thread only.
class Updater {
public:
    using URLOpener = std::function<void(const QUrl& url)>;

    // The application's updater: the build's download page, opened through the desktop.
    static Updater& shared();

    // A `downloadPage` that is not a web address (empty included) makes checking open nothing. `log` receives
    // the line written when the updater cannot start.
    Updater(std::string downloadPage, URLOpener openURL, std::ostream& log);

    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;

    bool isConfigured() const { return false; }
    // The download page is a web address: there is somewhere to check.
    bool hasSource() const;

    // There is nothing to start: with an update source, writes the one line that says so.
    void start();
    void checkForUpdates();

private:
    std::string downloadPage_;
    URLOpener openURL_;
    std::ostream& log_;
};

} // namespace halvrick
