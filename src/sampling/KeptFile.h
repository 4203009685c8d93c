#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// A small /proc or /sys file kept open and read again from its start every time: the kernel writes such a
// file afresh for each read at offset 0, so only the first reading pays for the path walk and the open.
// A reading that fails closes the file, and the next one opens it again.
class KeptFile {
public:
    explicit KeptFile(std::string path);
    ~KeptFile();
    KeptFile(KeptFile&& other) noexcept;
    KeptFile& operator=(KeptFile&& other) noexcept;
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    const std::string& path() const { return path_; }

    // At most `size` bytes from the start, in `buffer`; nothing when the file cannot be opened or read.
    std::optional<std::string_view> read(char* buffer, std::size_t size);
    // The whole text.
    std::optional<std::string> readAll();

private:
    bool ensureOpen();
    void close();

    std::string path_;
    int fd_ = -1;
};

} // namespace halvrick
