#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// The text of /proc/meminfo, with every "kB" figure turned into bytes.
class MemInfo {
public:
    // Nothing when MemTotal is missing or 0, or when neither MemAvailable nor MemFree can be read.
    static std::optional<MemInfo> parse(std::string_view text);

    std::optional<std::uint64_t> field(std::string_view name) const;

    std::uint64_t total() const { return *field("MemTotal"); }
    // MemAvailable; kernels before 3.14 lack it, and then free plus reclaimable cache stands in.
    std::uint64_t available() const;
    std::uint64_t used() const;
    // Reclaimable page cache: shared memory lives in the cache figure but cannot be dropped.
    std::uint64_t cached() const;
    std::optional<std::uint64_t> swapUsed() const;

private:
    std::uint64_t fieldOrZero(std::string_view name) const { return field(name).value_or(0); }

    std::map<std::string, std::uint64_t, std::less<>> bytes_;
};

} // namespace halvrick
