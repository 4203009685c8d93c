#pragma once

#include "core/AppKey.h"

#include <QIcon>
#include <QImage>

#include <cstdint>
#include <vector>

namespace halvrick {

// One process of a running application, told apart from a later process that reuses its identifier by
// its start time.
struct RunningApplication {
    std::int32_t pid = 0;
    std::uint64_t startTime = 0; // clock ticks since boot, as /proc/<pid>/stat gives it

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

// The desktop's view of the applications behind an AppKey: their icon, their running processes and a
// polite request to quit them. Main thread only.
class AppDirectory {
public:
    virtual ~AppDirectory() = default;

    // Never null: a key without an icon of its own gets a painted one.
    virtual QIcon icon(const AppKey& key) = 0;
    // The processes among `pids` that belong to the key's application now; empty for system and process
    // keys.
    virtual std::vector<RunningApplication> runningApplications(const AppKey& key,
                                                                const std::vector<std::int32_t>& pids) = 0;
    // Asks the key's running application to quit, as a user closing its windows would; whether at least
    // one request went out.
    virtual bool quit(const AppKey& key, const std::vector<std::int32_t>& pids) = 0;

    // The icon drawn into a square of exactly this many pixels; null for a size below 1.
    QImage image(const AppKey& key, int pixelSize);
};

} // namespace halvrick
