#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halvrick {

// The identifiers of all running processes (the numeric entries of <procRoot>); threads are not listed.
struct ProcessList {
    // In no particular order, without duplicates; empty when the folder cannot be read.
    static std::vector<std::int32_t> allPIDs(const std::string& procRoot = "/proc");
};

class ProcessLister {
public:
    virtual ~ProcessLister() = default;
    virtual std::vector<std::int32_t> allPIDs() = 0;
};

class ProcProcessLister : public ProcessLister {
public:
    explicit ProcProcessLister(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}
    std::vector<std::int32_t> allPIDs() override { return ProcessList::allPIDs(procRoot_); }

private:
    std::string procRoot_;
};

} // namespace halvrick
