#include "reports/CulpritKey.h"

namespace halvrick {

AppKey culpritKey(const std::string& id, const std::string& name) {
    if (id.starts_with('/')) {
        return {AppKey::Kind::app, id, name};
    }
    if (id == AppKey::system().id) {
        return AppKey::system();
    }
    return {AppKey::Kind::process, id, name};
}

} // namespace halvrick
