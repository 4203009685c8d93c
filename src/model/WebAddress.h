#pragma once

#include <QUrl>
#include <optional>
#include <string>

namespace halvrick {

// `address` as a web page (http or https, with a host); none for anything else. Only such an address
// is handed to the desktop: any other could open a local file or start a program.
std::optional<QUrl> webAddress(const std::string& address);

} // namespace halvrick
