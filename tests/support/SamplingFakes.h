#pragma once

// Stand-ins for what the samplers read and start, for the tests of the samplers and of the model.

#include "core/PSOutput.h"
#include "sampling/HostCPU.h"
#include "sampling/MachineReadings.h"
#include "sampling/NotificationService.h"
#include "sampling/ProcListing.h"
#include "sampling/ProcessList.h"
#include "sampling/ProcessReader.h"
#include "sampling/RepeatingTimer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvrick::fakes {

// A timer that fires only when the test says so.
class ManualTimer : public RepeatingTimer {
public:
    void start(double seconds, std::function<void()> onFire) override {
        interval = seconds;
        fire = std::move(onFire);
        ++starts;
    }
    void stop() override {
        fire = nullptr;
        ++stops;
    }
    bool isActive() const override { return static_cast<bool>(fire); }

    double interval = 0;
    std::function<void()> fire;
    int starts = 0;
    int stops = 0;
};

class FakeTicks : public TickReader {
public:
    std::optional<HostCPU::Ticks> readTicks() override { return HostCPU::Ticks{100, 1000}; }
};

// Only this process, which the process sampler never blames on anyone.
class FakeLister : public ProcessLister {
public:
    std::vector<std::int32_t> allPIDs() override { return {ownPID}; }
    static constexpr std::int32_t ownPID = 10;
};

class FakeProcessReader : public ProcessReader {
public:
    std::optional<ProcessStat> readStat(std::int32_t) override { return ProcessStat{1, 1, 0}; }
    std::optional<std::uint64_t> readFootprint(std::int32_t) override { return 0; }
    std::optional<std::string> readPath(std::int32_t) override { return "/opt/halvrick/halvrick"; }
    std::optional<std::string> readName(std::int32_t) override { return "halvrick"; }
    std::string readCgroup(std::int32_t) override { return {}; }
    double ticksPerSecond() const override { return 100; }
};

// Answers what it holds; none is a failed reading.
class FakeReadings : public MachineReadings {
public:
    std::optional<MemoryReading> readMemory() override { return memory; }
    std::optional<std::uint64_t> readSwapUsed() override { return swap; }
    std::optional<std::int32_t> readPressureLevel() override { return pressure; }
    std::optional<StorageReading> readStorage() override {
        ++storageReads;
        return storage;
    }

    std::optional<MemoryReading> memory = MemoryReading{16'000, 4'000, 2'000};
    std::optional<std::uint64_t> swap = 300;
    std::optional<std::int32_t> pressure = 1;
    std::optional<StorageReading> storage = StorageReading{1'000'000, 250'000};
    int storageReads = 0;
};

class FakeListing : public ListingRunner {
public:
    std::optional<std::vector<PSRow>> list() override { return std::vector<PSRow>{}; }
};

// Records what it is asked to post and take back.
class FakeNotifier : public NotificationService {
public:
    void send(const std::string& id, const std::string& body) override { sent.emplace_back(id, body); }
    void remove(const std::string& id) override { removed.push_back(id); }
    void requestPermission(std::function<void(bool)> completion) override { completion(true); }
    void refreshPermission(std::function<void(bool)> completion) override { completion(true); }

    std::vector<std::pair<std::string, std::string>> sent;
    std::vector<std::string> removed;
};

} // namespace halvrick::fakes
