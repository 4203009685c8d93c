#pragma once

#include <QByteArray>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace halvrick::testing_support {

// Sets (or, with nothing, unsets) environment variables for its lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, std::optional<QByteArray>>> values) {
        for (const auto& [name, value] : values) {
            saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                      : std::nullopt);
            set(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            set(it->first, it->second);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void set(const char* name, const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

} // namespace halvrick::testing_support
