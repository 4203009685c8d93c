#pragma once

#include <cstddef>
#include <functional>
#include <compare>
#include <string>
#include <utility>

namespace halvrick {

// Who is blamed for CPU time: an application, the operating system itself, or a bare process.
struct AppKey {
    enum class Kind : int { app = 0, system = 1, process = 2 };

    Kind kind = Kind::process;
    // An application's desktop entry path (or bundle path), a process name, or "linux" for the system.
    std::string id;
    std::string displayName;

    AppKey() = default;
    AppKey(Kind kind, std::string id, std::string displayName)
        : kind(kind), id(std::move(id)), displayName(std::move(displayName)) {}

    static const AppKey& system() {
        static const AppKey key{Kind::system, "linux", "Linux itself"};
        return key;
    }

    bool isQuittable() const { return kind == Kind::app; }

    friend bool operator==(const AppKey&, const AppKey&) = default;
    friend auto operator<=>(const AppKey&, const AppKey&) = default;
};

} // namespace halvrick

template <>
struct std::hash<halvrick::AppKey> {
    std::size_t operator()(const halvrick::AppKey& key) const noexcept {
        std::size_t h = std::hash<int>{}(static_cast<int>(key.kind));
        h ^= std::hash<std::string>{}(key.id) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        h ^= std::hash<std::string>{}(key.displayName) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h;
    }
};
