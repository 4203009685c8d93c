// The app model's main tick: simulated hours of one CPU-load sample a second and one process sample of 40
// applications every two seconds, on a simulated clock. Runs once with the ledger in memory and once
// saving it to a temporary folder (once a simulated minute, as the model does), and prints for each the
// median cost of one tick (a process sample every other tick) and of one hour. The target holds for the
// model's own work; the second figure adds the disk's wait for each synced save.

#include "model/AppModel.h"
#include "model/AppServices.h"
#include "sampling/NotificationService.h"
#include "sampling/SystemTimeSource.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace halvrick;

constexpr int hours = 9;
constexpr int ticksPerHour = 3600;
constexpr int appCount = 40;
// The whole hour should cost well under this.
constexpr double targetSeconds = 1;

class SilentNotifier : public NotificationService {
public:
    void send(const std::string&, const std::string&) override {}
    void remove(const std::string&) override {}
    void requestPermission(std::function<void(bool)> completion) override { completion(false); }
    void refreshPermission(std::function<void(bool)> completion) override { completion(false); }
};

struct SimulatedClock {
    Date now = Date::sinceReference(800'000'000);
    std::chrono::steady_clock::time_point monotonic{};
    void advance(double seconds) {
        now += seconds;
        monotonic += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
    }
};

std::vector<AppKey> applications() {
    std::vector<AppKey> keys{AppKey::system()};
    for (int i = 1; i < appCount; ++i) {
        const std::string name = "App " + std::to_string(i);
        keys.push_back(
            {AppKey::Kind::app, "/usr/share/applications/app" + std::to_string(i) + ".desktop", name});
    }
    return keys;
}

// A working day's shape: load rising and falling every few minutes, from idle to meltdown.
double loadAt(int second) {
    return 50 + 49 * std::sin(second / 180.0);
}

ProcessSampler::Sample processSample(const std::vector<AppKey>& keys, int second) {
    ProcessSampler::Sample sample;
    sample.interval = 2;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const double share = loadAt(second) / 100 / static_cast<double>(i + 1);
        sample.cpuSeconds[keys[i]] = share * sample.interval;
        sample.footprints[keys[i]] = (i + 1) * 50'000'000ULL;
        sample.pids[keys[i]] = {static_cast<std::int32_t>(1000 + i)};
        sample.attributedPIDs.insert(static_cast<std::int32_t>(1000 + i));
    }
    sample.ownCPUSeconds = 0.004;
    return sample;
}

// The median cost of one simulated hour.
double measure(const std::optional<QString>& dataFolder) {
    SimulatedClock clock;
    SilentNotifier notifier;
    auto defaults = std::make_shared<Defaults>(std::nullopt);
    SettingsStore settings(*defaults);
    AppModel::Services services = AppModel::Services::system(defaults);
    PresenceTracker::Facilities facilities = PresenceTracker::Facilities::system();
    facilities.monotonicNow = [&] {
        return std::chrono::duration<double>(clock.monotonic.time_since_epoch()).count();
    };
    facilities.wallNow = [&] { return clock.now; };
    services.presence = std::make_shared<PresenceTracker>(std::move(facilities));
    services.dataFolder = dataFolder;
    services.now = [&] { return clock.now; };
    services.monotonic = [&] { return clock.monotonic; };
    // The app's own calendar source: finding the user's calendar is part of what a tick costs.
    services.calendar = &SystemTimeSource::currentCalendar;
    services.environment = [](const char*) { return std::optional<std::string>(); };
    AppModel model(Config::defaults(), settings, notifier, std::move(services));

    // Made beforehand, so that only the model is measured.
    const std::vector<AppKey> keys = applications();
    std::vector<ProcessSampler::Sample> samples;
    for (int second = 1; second < ticksPerHour; second += 2) {
        samples.push_back(processSample(keys, second));
    }

    std::vector<double> hourCosts;
    int second = 0;
    for (int hour = 0; hour < hours; ++hour) {
        const auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < ticksPerHour; ++i, ++second) {
            clock.advance(1);
            model.ingestLoad(loadAt(second), clock.now);
            if (i % 2 == 1) {
                ProcessSampler::Sample& sample = samples[static_cast<std::size_t>(i / 2)];
                sample.time = clock.now;
                model.ingestProcesses(sample);
            }
        }
        hourCosts.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    std::sort(hourCosts.begin(), hourCosts.end());
    return hourCosts[hourCosts.size() / 2];
}

void print(const char* label, double hourCost) {
    std::printf(
        "%s: one tick %.1f µs, one hour of ticks %.1f ms (median of %d hours; target well under %.0f s)\n",
        label, hourCost / ticksPerHour * 1e6, hourCost * 1e3, hours, targetSeconds);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const double inMemory = measure(std::nullopt);
    const double saving = measure(folder.path());
    print("ledger in memory", inMemory);
    print("ledger saved every minute", saving);
    return inMemory < targetSeconds ? 0 : 1;
}
