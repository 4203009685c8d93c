#include "sampling/ProcessList.h"

#include <dirent.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <set>

namespace halvrick {

std::vector<std::int32_t> ProcessList::allPIDs(const std::string& procRoot) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(procRoot.c_str()), closedir);
    if (!dir) {
        return {};
    }
    std::set<std::int32_t> pids;
    while (const dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        const char* end = name + std::strlen(name);
        std::int32_t pid = 0;
        const auto [last, ec] = std::from_chars(name, end, pid);
        if (ec == std::errc{} && last == end && name[0] >= '0' && name[0] <= '9') {
            pids.insert(pid);
        }
    }
    return {pids.begin(), pids.end()};
}

} // namespace halvrick
