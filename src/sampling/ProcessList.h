#pragma once

#include "sampling/KeptFile.h"

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// The identifiers of all running processes (the numeric entries of <procRoot>); threads are not listed.
struct ProcessList {
    // Ascending, without duplicates; empty when the folder cannot be read.
    static std::vector<std::int32_t> allPIDs(const std::string& procRoot = "/proc");
};

class ProcessLister {
public:
    virtual ~ProcessLister() = default;
    virtual std::vector<std::int32_t> allPIDs() = 0;
};

// Keeps the folder open and reads it again from its start for every listing, unless <procRoot>/loadavg
// shows that no task began or ended since the last one.
class ProcProcessLister : public ProcessLister {
public:
    explicit ProcProcessLister(std::string procRoot = "/proc");
    std::vector<std::int32_t> allPIDs() override;

    // The system's thread count and newest pid ("12 4567" of "0.00 0.01 0.05 1/12 4567"); nothing for
    // anything else. Every new task takes a new pid and every task that is reaped lowers the count.
    static std::optional<std::string> taskMark(std::string_view loadavgText);

private:
    std::vector<std::int32_t> list();

    std::string procRoot_;
    std::unique_ptr<DIR, int (*)(DIR*)> dir_;
    KeptFile loadavg_;
    std::optional<std::string> lastMark_;
    std::vector<std::int32_t> last_;
};

} // namespace halvrick
