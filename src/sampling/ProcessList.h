#pragma once

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
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

// Keeps the folder open and reads it again from its start for every listing.
class ProcProcessLister : public ProcessLister {
public:
    explicit ProcProcessLister(std::string procRoot = "/proc");
    std::vector<std::int32_t> allPIDs() override;

private:
    std::string procRoot_;
    std::unique_ptr<DIR, int (*)(DIR*)> dir_;
};

} // namespace halvrick
