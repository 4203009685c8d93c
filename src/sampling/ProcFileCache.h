#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace halvrick {

// Descriptors of per-process /proc files kept open from one sweep to the next. Reading a kept one again at
// offset 0 makes the kernel write the file afresh, which saves the path walk, the open and the close of
// every file on every sweep. A descriptor stays tied to the process it was opened for: once that process
// is gone it only gives errors, even when its pid has been given to another process since. Such a
// descriptor is closed and the file opened again by its path, which then names whichever process holds
// the pid now.
class ProcFileCache {
public:
    enum class File { stat, status, statm, schedstat };
    static std::string_view leaf(File file);

    // Descriptors always left to the rest of the program.
    static constexpr std::size_t reservedDescriptors = 256;
    // Enough for the files of five thousand processes; larger machines read the rest by opening them.
    static constexpr std::size_t largestLimit = 16384;

    // Keeps at most `limit` files open. Without a limit, as many as the process's descriptor limit leaves
    // room for beside reservedDescriptors; when the cache fills up, the soft descriptor limit is raised
    // to the hard one once.
    explicit ProcFileCache(std::optional<std::size_t> limit = std::nullopt);
    ~ProcFileCache();
    ProcFileCache(const ProcFileCache&) = delete;
    ProcFileCache& operator=(const ProcFileCache&) = delete;

    // The start of <procFD>/<pid>/<file>, at most `size` bytes, as the file reads now; nothing when it
    // cannot be opened or read. Marks the process as read in this sweep.
    std::optional<std::string_view> read(int procFD, std::int32_t pid, File file, char* buffer, std::size_t size);
    // Closes the files of every process that was not read since the previous call.
    void endSweep();

    // Opens <procFD>/<pid>/<leaf> for reading; -1 on failure.
    static int open(int procFD, std::int32_t pid, std::string_view leaf);

    std::size_t openCount() const { return openCount_; }
    // The files kept open for one process.
    std::size_t openFor(std::int32_t pid) const;
    std::size_t limit() const { return limit_; }

private:
    struct Entry {
        int stat = -1;
        int status = -1;
        int statm = -1;
        int schedstat = -1;
        std::uint64_t sweep = 0;

        int& operator[](File file) {
            switch (file) {
            case File::stat:
                return stat;
            case File::status:
                return status;
            case File::statm:
                return statm;
            case File::schedstat:
                break;
            }
            return schedstat;
        }
        bool isEmpty() const { return stat < 0 && status < 0 && statm < 0 && schedstat < 0; }
    };

    void close(int& fd);
    void closeAll(Entry& entry);
    bool hasRoom();

    std::unordered_map<std::int32_t, Entry> entries_;
    std::size_t openCount_ = 0;
    std::size_t limit_;
    bool mayRaiseLimit_;
    std::uint64_t sweep_ = 1;
};

} // namespace halvrick
