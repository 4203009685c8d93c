#include "model/WebAddress.h"

#include <QString>

namespace halvrick {

std::optional<QUrl> webAddress(const std::string& address) {
    QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")) ||
        url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

} // namespace halvrick
