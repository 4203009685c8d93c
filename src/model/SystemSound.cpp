#include "model/SystemSound.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace halvrick::SystemSound {

namespace {

const QString themeFile = QStringLiteral("/usr/share/sounds/freedesktop/stereo/complete.oga");

} // namespace

void play() {
    // The sound theme's own player knows the user's theme; the file players only the default one.
    if (const QString canberra = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
        !canberra.isEmpty()) {
        QProcess::startDetached(canberra, {QStringLiteral("-i"), QStringLiteral("complete"),
                                           QStringLiteral("-d"), QStringLiteral("Halvrick")});
        return;
    }
    if (!QFile::exists(themeFile)) {
        return;
    }
    for (const char* player : {"pw-play", "paplay"}) {
        if (const QString path = QStandardPaths::findExecutable(QString::fromLatin1(player));
            !path.isEmpty()) {
            QProcess::startDetached(path, {themeFile});
            return;
        }
    }
}

} // namespace halvrick::SystemSound
