#include "sampling/AppIdentity.h"

#include <utility>

namespace halvrick {

AppIdentity::AppIdentity() : identifier_(appId) {}

AppIdentity::AppIdentity(std::optional<std::string> identifier) : identifier_(std::move(identifier)) {
    // An empty name would make file names such as ".desktop".
    if (identifier_ && identifier_->empty()) {
        identifier_.reset();
    }
}

AppIdentity AppIdentity::withoutIdentifier() {
    return AppIdentity(std::nullopt);
}

} // namespace halvrick
