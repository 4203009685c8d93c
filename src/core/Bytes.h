#pragma once

#include <cstdint>
#include <string>

namespace halvrick {

// Byte counts as text: "0 B", "512 B", "1.5 KB", "150 GB". The decimal point is always ".", whatever the
// locale; units B, KB, MB, GB, TB for both bases.
namespace Bytes {

// Memory amounts, base 1024.
std::string memory(std::uint64_t bytes);
// Storage amounts and folder sizes, base 1000.
std::string storage(std::uint64_t bytes);
// "no change", or the scaled magnitude with "+" or the minus sign U+2212 directly before it.
std::string change(std::int64_t delta, bool storage);

} // namespace Bytes

} // namespace halvrick
