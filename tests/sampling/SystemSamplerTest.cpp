#include "sampling/SystemSampler.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <optional>
#include <vector>

namespace halvrick {
namespace {

using Ticks = HostCPU::Ticks;

class FakeTimer : public RepeatingTimer {
public:
    void start(double seconds, std::function<void()> onFire) override {
        interval = seconds;
        callback = std::move(onFire);
        active = true;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }

    void fire() {
        ASSERT_TRUE(active);
        callback();
    }

    double interval = 0;
    bool active = false;
    std::function<void()> callback;
};

class FakeTickReader : public TickReader {
public:
    std::optional<Ticks> readTicks() override {
        if (readings.empty()) {
            ADD_FAILURE() << "no reading scripted";
            return std::nullopt;
        }
        const std::optional<Ticks> next = readings.front();
        readings.pop_front();
        return next;
    }
    std::deque<std::optional<Ticks>> readings;
};

class FakeThermalSource : public ThermalSource {
public:
    int thermalState() override {
        ++reads;
        return raw;
    }
    int raw = 0;
    int reads = 0;
};

struct Sample {
    double load;
    Date at;
    friend bool operator==(const Sample&, const Sample&) = default;
};

void PrintTo(const Sample& s, std::ostream* os) {
    *os << s.load << "% at " << s.at.timeIntervalSince1970();
}

// A sampler on fakes that records everything it reports.
struct Rig {
    FakeTickReader* ticks = new FakeTickReader;
    FakeThermalSource* thermal = new FakeThermalSource;
    FakeTimer* timer = new FakeTimer;
    FakeTimer* thermalTimer = new FakeTimer;
    Date now = Date::since1970(1'700'000'000);
    SystemSampler sampler{std::unique_ptr<TickReader>(ticks), std::unique_ptr<ThermalSource>(thermal),
                          std::unique_ptr<RepeatingTimer>(timer),
                          std::unique_ptr<RepeatingTimer>(thermalTimer), [this] { return now; }};
    std::vector<Sample> samples;
    std::vector<bool> health;
    std::vector<ThermalLevel> levels;

    Rig() {
        sampler.onSample = [this](double load, Date at) { samples.push_back({load, at}); };
        sampler.onHealth = [this](bool healthy) { health.push_back(healthy); };
        sampler.onThermalChange = [this](ThermalLevel level) { levels.push_back(level); };
    }

    void tick(std::optional<Ticks> reading) {
        ticks->readings.push_back(reading);
        timer->fire();
    }
};

TEST(SystemSamplerTest, StartReadsTheBaselineAndReportsOnlyHealth) {
    for (const bool readable : {true, false}) {
        Rig rig;
        rig.ticks->readings.push_back(readable ? std::optional(Ticks{100, 1000}) : std::nullopt);
        rig.sampler.start(1);
        EXPECT_EQ(rig.health, std::vector<bool>{readable});
        EXPECT_TRUE(rig.samples.empty());
        EXPECT_TRUE(rig.timer->active);
        EXPECT_EQ(rig.timer->interval, 1);
        EXPECT_TRUE(rig.thermalTimer->active);
        EXPECT_EQ(rig.thermalTimer->interval, SystemSampler::thermalPollInterval);
    }
}

TEST(SystemSamplerTest, EachTickReportsTheLoadSinceThePreviousReading) {
    constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    const struct {
        const char* what;
        Ticks before;
        Ticks after;
        double load;
    } cases[] = {
        {"half busy", {100, 1000}, {150, 1100}, 50},
        {"user 10, system 5, nice 1, idle 84", {500, 5000}, {516, 5100}, 16},
        {"idle", {100, 1000}, {100, 1100}, 0},
        {"no time passed", {100, 1000}, {100, 1000}, 0},
        {"equal totals", {100, 1000}, {200, 1000}, 0},
        {"busy grew more than the total", {100, 1000}, {400, 1100}, 100},
        {"total went back", {100, 1000}, {150, 900}, 0},
        {"busy went back", {100, 1000}, {90, 1100}, 0},
        {"both went back", {100, 1000}, {50, 900}, 0},
        {"near the top of the counters", {top - 300, top - 200}, {top - 250, top - 100}, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.ticks->readings.push_back(c.before);
        rig.sampler.start(1);
        rig.now = rig.now + 1;
        rig.tick(c.after);
        EXPECT_EQ(rig.samples, (std::vector<Sample>{{c.load, rig.now}}));
        EXPECT_EQ(rig.health, (std::vector<bool>{true, true}));
    }
}

TEST(SystemSamplerTest, AFailedReadingIsSkippedAndTheNextComparesWithTheLastGoodOne) {
    Rig rig;
    rig.ticks->readings.push_back(Ticks{100, 1000});
    rig.sampler.start(1);
    rig.tick(std::nullopt);
    EXPECT_TRUE(rig.samples.empty());
    rig.tick(Ticks{160, 1200});
    EXPECT_EQ(rig.samples, (std::vector<Sample>{{30, rig.now}}));
    EXPECT_EQ(rig.health, (std::vector<bool>{true, false, true}));
}

TEST(SystemSamplerTest, WithoutABaselineTheFirstGoodReadingBecomesOne) {
    Rig rig;
    rig.ticks->readings.push_back(std::nullopt);
    rig.sampler.start(1);
    rig.tick(Ticks{100, 1000});
    EXPECT_TRUE(rig.samples.empty());
    rig.tick(Ticks{125, 1100});
    EXPECT_EQ(rig.samples, (std::vector<Sample>{{25, rig.now}}));
    EXPECT_EQ(rig.health, (std::vector<bool>{false, true, true}));
}

TEST(SystemSamplerTest, ReadingsAdvanceEvenWithNobodyListening) {
    Rig rig;
    rig.sampler.onSample = nullptr;
    rig.sampler.onHealth = nullptr;
    rig.ticks->readings.push_back(Ticks{100, 1000});
    rig.sampler.start(1);
    rig.tick(Ticks{1100, 2000});
    rig.sampler.onSample = [&](double load, Date at) { rig.samples.push_back({load, at}); };
    rig.tick(Ticks{1110, 2100});
    EXPECT_EQ(rig.samples, (std::vector<Sample>{{10, rig.now}}));
}

TEST(SystemSamplerTest, StopEndsSamplingAndStartTakesAFreshBaseline) {
    Rig rig;
    rig.ticks->readings.push_back(Ticks{100, 1000});
    rig.sampler.start(1);
    rig.sampler.stop();
    EXPECT_FALSE(rig.timer->active);
    EXPECT_FALSE(rig.thermalTimer->active);

    rig.ticks->readings.push_back(Ticks{500, 2000});
    rig.sampler.start(2);
    EXPECT_EQ(rig.timer->interval, 2);
    rig.tick(Ticks{520, 2100});
    EXPECT_EQ(rig.samples, (std::vector<Sample>{{20, rig.now}}));
}

TEST(SystemSamplerTest, ThermalLevelIsReportedAtStartAndThenOnlyWhenItChanges) {
    Rig rig;
    rig.ticks->readings.push_back(Ticks{100, 1000});
    rig.thermal->raw = 1;
    rig.sampler.start(1);
    EXPECT_EQ(rig.levels, std::vector<ThermalLevel>{ThermalLevel::fair});

    for (const int raw : {1, 3, 3, 2, 7, -1, 0}) {
        rig.thermal->raw = raw;
        rig.thermalTimer->fire();
    }
    // 7 and -1 are unknown and read as serious, which it already was.
    EXPECT_EQ(rig.levels, (std::vector<ThermalLevel>{ThermalLevel::fair, ThermalLevel::critical,
                                                     ThermalLevel::serious, ThermalLevel::nominal}));
}

TEST(SystemSamplerTest, UnknownRawThermalStatesCountAsSerious) {
    const struct {
        int raw;
        ThermalLevel level;
    } cases[] = {{0, ThermalLevel::nominal},
                 {1, ThermalLevel::fair},
                 {2, ThermalLevel::serious},
                 {3, ThermalLevel::critical},
                 {4, ThermalLevel::serious},
                 {-1, ThermalLevel::serious},
                 {std::numeric_limits<int>::min(), ThermalLevel::serious}};
    for (const auto& c : cases) {
        EXPECT_EQ(thermalLevelForRawState(c.raw), c.level) << c.raw;
        Rig rig;
        rig.ticks->readings.push_back(Ticks{100, 1000});
        rig.thermal->raw = c.raw;
        rig.sampler.start(1);
        EXPECT_EQ(rig.levels, std::vector<ThermalLevel>{c.level}) << c.raw;
    }
}

TEST(SystemSamplerTest, NobodyListeningForThermalChangesMeansNoSensorReads) {
    Rig rig;
    rig.sampler.onThermalChange = nullptr;
    rig.ticks->readings.push_back(Ticks{100, 1000});
    rig.sampler.start(1);
    rig.thermalTimer->fire();
    EXPECT_EQ(rig.thermal->reads, 0);
}

// The real readers and timers on this machine.
TEST(SystemSamplerTest, RunsOnThisMachine) {
    int argc = 1;
    char name[] = "halvrick_sampling_tests";
    char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        app.emplace(argc, argv);
    }
    SystemSampler sampler;
    std::vector<bool> health;
    std::vector<ThermalLevel> levels;
    sampler.onHealth = [&](bool healthy) { health.push_back(healthy); };
    sampler.onThermalChange = [&](ThermalLevel level) { levels.push_back(level); };
    sampler.start(1);
    sampler.stop();
    EXPECT_EQ(health, std::vector<bool>{true});
    EXPECT_EQ(levels.size(), 1u);
}

} // namespace
} // namespace halvrick
