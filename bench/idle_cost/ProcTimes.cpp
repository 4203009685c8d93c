#include "ProcTimes.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace halvrick {

namespace {

std::optional<pid_t> numericName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.empty() || name.size() > 9) {
        return std::nullopt;
    }
    for (const char c : name) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
    }
    return static_cast<pid_t>(std::stol(name));
}

std::map<pid_t, ProcStat> allProcesses() {
    std::map<pid_t, ProcStat> result;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        if (const auto pid = numericName(entry.path())) {
            if (auto stat = readStat(entry.path().string() + "/stat")) {
                result.emplace(*pid, std::move(*stat));
            }
        }
    }
    return result;
}

} // namespace

std::optional<ProcStat> readStat(const std::string& path) {
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The name sits in parentheses and may hold spaces and parentheses itself.
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return std::nullopt;
    }
    std::istringstream rest(text.substr(close + 1));
    std::vector<std::string> fields{std::istream_iterator<std::string>(rest),
                                    std::istream_iterator<std::string>()};
    // After the name: state, ppid, ...
    if (fields.size() < 2) {
        return std::nullopt;
    }
    try {
        ProcStat stat;
        stat.name = text.substr(open + 1, close - open - 1);
        stat.parent = static_cast<pid_t>(std::stol(fields[1]));
        return stat;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<long long> readSchedNanoseconds(const std::string& path) {
    std::ifstream file(path);
    long long nanoseconds = 0;
    if (!(file >> nanoseconds)) {
        return std::nullopt;
    }
    return nanoseconds;
}

TreeTime treeTime(pid_t root) {
    const auto processes = allProcesses();
    const auto rootStat = processes.find(root);
    if (rootStat == processes.end()) {
        throw std::runtime_error("process " + std::to_string(root) + " is gone");
    }
    std::multimap<pid_t, pid_t> children;
    for (const auto& [pid, stat] : processes) {
        children.emplace(stat.parent, pid);
    }
    TreeTime result;
    std::vector<pid_t> pending{root};
    while (!pending.empty()) {
        const pid_t pid = pending.back();
        pending.pop_back();
        for (const auto& [tid, thread] : threadTimes(pid)) {
            result.nanoseconds += thread.nanoseconds;
        }
        const auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) {
            pending.push_back(it->second);
            ++result.descendants;
        }
    }
    return result;
}

std::map<pid_t, ThreadTime> threadTimes(pid_t pid) {
    std::map<pid_t, ThreadTime> result;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        if (const auto tid = numericName(entry.path())) {
            const auto stat = readStat(entry.path().string() + "/stat");
            const auto nanoseconds = readSchedNanoseconds(entry.path().string() + "/schedstat");
            if (stat && nanoseconds) {
                result[*tid] = {stat->name, *nanoseconds};
            }
        }
    }
    return result;
}

MachineTicks machineTicks() {
    std::ifstream file("/proc/stat");
    std::string label;
    file >> label;
    if (label != "cpu") {
        return {};
    }
    // user nice system idle iowait irq softirq steal; guest time is already inside user and nice.
    MachineTicks ticks;
    for (int field = 0; field < 8; ++field) {
        long long value = 0;
        if (!(file >> value)) {
            break;
        }
        ticks.total += value;
        if (field != 3 && field != 4) {
            ticks.busy += value;
        }
    }
    return ticks;
}

double busyPercent(const MachineTicks& before, const MachineTicks& after) {
    const long long total = after.total - before.total;
    return total > 0 ? static_cast<double>(after.busy - before.busy) / static_cast<double>(total) * 100.0
                     : 0.0;
}

std::optional<long long> residentKiB(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            try {
                return std::stoll(line.substr(6));
            } catch (const std::exception&) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

std::size_t processCount() {
    return allProcesses().size();
}

} // namespace halvrick
