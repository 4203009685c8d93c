#include "sampling/AppDirectory.h"

#include "sampling/AppIcons.h"

namespace halvrick {

QImage AppDirectory::image(const AppKey& key, int pixelSize) {
    return AppIcons::render(icon(key), pixelSize);
}

} // namespace halvrick
