#include "sampling/ProcessSampler.h"

#include "core/MendedUTF8.h"

#include "ProcessFixtures.h"
#include "QtTestSupport.h"
#include "SamplingFakes.h"

#include <QCoreApplication>
#include <QPointer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <thread>

namespace halvrick {
namespace {

using fixtures::AppTree;
using fixtures::FakeProcess;
using fixtures::ProcTree;
using fixtures::RunningProgram;
using Sample = ProcessSampler::Sample;
using testing::ElementsAre;
using testing::Key;
using testing::Not;
using testing::Contains;

// Lists the tree, then takes some processes away before they can be read.
class VanishingLister : public ProcessLister {
public:
    explicit VanishingLister(ProcTree& tree) : tree_(tree), inner_(tree.root().string()) {}
    std::vector<std::int32_t> allPIDs() override {
        threads.push_back(std::this_thread::get_id());
        if (emptyOnce) {
            emptyOnce = false;
            return {};
        }
        auto pids = inner_.allPIDs();
        for (const std::int32_t pid : vanishing) {
            tree_.remove(pid);
        }
        vanishing.clear();
        return pids;
    }

    std::vector<std::int32_t> vanishing;
    bool emptyOnce = false;
    std::vector<std::thread::id> threads;

private:
    ProcTree& tree_;
    ProcProcessLister inner_;
};

// Holds every sweep until the test runs its worker half, then its main-thread half.
class HeldExecutor {
public:
    ProcessSampler::Executor executor() {
        return [this](QObject* context, std::function<void()> job, std::function<void()> done) {
            held.push_back({context, std::move(job), std::move(done)});
        };
    }
    void runJob() { held.front().job(); }
    void deliver() {
        const Held next = std::move(held.front());
        held.pop_front();
        if (next.context) {
            next.done();
        }
    }
    void run() {
        runJob();
        deliver();
    }

    struct Held {
        QPointer<QObject> context;
        std::function<void()> job;
        std::function<void()> done;
    };
    std::deque<Held> held;
};

AppKey process(const std::string& name) { return {AppKey::Kind::process, name, name}; }

constexpr std::int32_t ownPID = 10;

class ProcessSamplerTest : public testing::Test {
protected:
    ProcessSamplerTest() {
        index = std::make_shared<const ApplicationIndex>(ApplicationIndex::build(apps.roots()));
        procs.setTicks(1000, 2000);
        procs.write({.pid = ownPID, .name = "halvrick", .exe = "/opt/halvrick/halvrick", .cpu = 20});
        procs.write({.pid = 2, .name = "kthreadd", .exe = std::nullopt, .cpu = 1000, .flags = 0x208040,
                     .rssAnonKB = std::nullopt, .swapKB = std::nullopt, .cgroup = "0::/\n"});
        procs.write(gedit);
        procs.write(bash);
    }
    ~ProcessSamplerTest() override {
        sampler.reset();
        fixtures::fs::remove_all(root);
    }

    ProcessSampler& make(std::unique_ptr<ProcFileCache> keptFiles = nullptr,
                         ProcessSampler::Executor executor = nullptr) {
        auto lister = std::make_unique<VanishingLister>(procs);
        this->lister = lister.get();
        auto timer = std::make_unique<fakes::ManualTimer>();
        this->timer = timer.get();
        ProcessSampler::Sources sources;
        sources.tickReader = std::make_unique<ProcTickReader>(procs.root().string());
        sources.processLister = std::move(lister);
        sources.processReader =
            std::make_unique<ProcProcessReader>(procs.root().string(), 100, std::move(keptFiles));
        sources.timer = std::move(timer);
        sources.wallClock = [this] { return Date::since1970(wall); };
        sources.monotonicClock = [this] { return monotonic; };
        sources.applications = [this] { return index; };
        sources.coreCount = 4;
        sources.ownPID = ownPID;
        sources.executor = std::move(executor);
        sampler = std::make_unique<ProcessSampler>(std::move(sources));
        sampler->onSample = [this](const Sample& s) { samples.push_back(s); };
        sampler->onHealth = [this](bool healthy) { health.push_back(healthy); };
        sampler->start(2);
        return *sampler;
    }

    // Moves both clocks on and lets the timer fire; the sample it made, if any.
    std::optional<Sample> step(double monotonicSeconds = 2, std::optional<double> wallSeconds = std::nullopt) {
        monotonic += monotonicSeconds;
        wall += wallSeconds.value_or(monotonicSeconds);
        const std::size_t before = samples.size();
        timer->fire();
        return samples.size() > before ? std::optional(samples.back()) : std::nullopt;
    }

    // Adds CPU ticks to a process and busy/idle ticks to the host.
    void grow(FakeProcess& p, std::uint64_t ticks) {
        p.cpu += ticks;
        procs.write(p);
    }
    void host(std::uint64_t busy, std::uint64_t idle) {
        hostBusy += busy;
        hostIdle += idle;
        procs.setTicks(hostBusy, hostIdle);
    }

    AppKey appKey(const std::string& file, const std::string& name) const {
        return {AppKey::Kind::app, apps.entryPath("system", file), name};
    }

    fixtures::fs::path root = fixtures::freshFolder("sampler");
    AppTree apps{root / "apps"};
    ProcTree procs{root / "proc"};
    std::shared_ptr<const ApplicationIndex> index;
    FakeProcess gedit{.pid = 200, .name = "gedit", .exe = "/usr/bin/gedit", .cpu = 50, .start = 40};
    FakeProcess bash{.pid = 300, .name = "bash", .exe = "/usr/bin/bash", .cpu = 10, .start = 60,
                     .rssAnonKB = std::nullopt};
    std::uint64_t hostBusy = 1000;
    std::uint64_t hostIdle = 2000;
    double wall = 1'700'000'000;
    double monotonic = 500;
    std::unique_ptr<ProcessSampler> sampler;
    VanishingLister* lister = nullptr;
    fakes::ManualTimer* timer = nullptr;
    std::vector<Sample> samples;
    std::vector<bool> health;
};

TEST_F(ProcessSamplerTest, StartOnlySetsTheBaselineThenEachIntervalCountsGrowth) {
    make();
    EXPECT_TRUE(samples.empty());
    EXPECT_THAT(health, ElementsAre(true));
    EXPECT_EQ(timer->interval, 2);

    grow(gedit, 20);
    // Started since the previous sample: all of its time is this interval's.
    procs.write({.pid = 400, .name = "vim", .exe = "/usr/bin/vim", .cpu = 30, .start = 900});
    host(400, 400);
    const auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->time, Date::since1970(wall));
    EXPECT_EQ(sample->interval, 2);
    const AppKey editor = appKey("org.gnome.gedit.desktop", "Text Editor");
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(editor), 0.2);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("vim")), 0.3);
    // Without growth a process is listed but charged nothing.
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(process("bash")))));
    EXPECT_THAT(sample->pids.at(process("bash")), ElementsAre(300));
    EXPECT_THAT(health, ElementsAre(true, true));
}

TEST_F(ProcessSamplerTest, SweepsRunOnTheExecutorOneAtATimeAndTheirSamplesArriveInOrder) {
    HeldExecutor worker;
    make(nullptr, worker.executor());
    ASSERT_EQ(worker.held.size(), 1u);
    // A tick while the baseline sweep is still running starts no second one.
    timer->fire();
    EXPECT_EQ(worker.held.size(), 1u);
    EXPECT_TRUE(sampler->isSweeping());
    worker.runJob();
    EXPECT_TRUE(health.empty());
    worker.deliver();
    EXPECT_THAT(health, ElementsAre(true));
    EXPECT_FALSE(sampler->isSweeping());

    const AppKey editor = appKey("org.gnome.gedit.desktop", "Text Editor");
    for (const std::uint64_t ticks : {20, 40}) {
        grow(gedit, ticks);
        host(400, 400);
        monotonic += 2;
        wall += 2;
        timer->fire();
        ASSERT_EQ(worker.held.size(), 1u);
        worker.run();
        ASSERT_FALSE(samples.empty());
        EXPECT_DOUBLE_EQ(samples.back().cpuSeconds.at(editor), static_cast<double>(ticks) / 100);
    }
    EXPECT_EQ(samples.size(), 2u);
    // Three sweeps, each listing the processes once.
    EXPECT_EQ(lister->threads.size(), 3u);
}

TEST_F(ProcessSamplerTest, ASweepThatFinishesAfterQuittingBeganIsDropped) {
    testApplication();
    HeldExecutor worker;
    make(nullptr, worker.executor());
    worker.run();
    host(400, 400);
    monotonic += 2;
    wall += 2;
    timer->fire();
    worker.runJob();
    ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit"));
    worker.deliver();
    EXPECT_TRUE(samples.empty());
    EXPECT_THAT(health, ElementsAre(true));
    EXPECT_FALSE(timer->isActive());
    sampler->sample();
    EXPECT_TRUE(worker.held.empty());
}

TEST_F(ProcessSamplerTest, OnTheWorkerQueueSweepsLeaveTheMainThreadAndSamplesComeBackToIt) {
    testApplication();
    WorkerQueue queue;
    make(nullptr, ProcessSampler::on(queue));
    ASSERT_TRUE(waitUntil([this] { return !health.empty(); }));
    grow(gedit, 20);
    host(400, 400);
    monotonic += 2;
    wall += 2;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::thread::id deliveredOn;
    sampler->onSample = [&](const Sample& sample) {
        deliveredOn = std::this_thread::get_id();
        samples.push_back(sample);
    };
    timer->fire();
    ASSERT_TRUE(waitUntil([this] { return !samples.empty(); }));
    EXPECT_EQ(deliveredOn, mainThread);
    ASSERT_EQ(lister->threads.size(), 2u);
    EXPECT_NE(lister->threads[0], mainThread);
    EXPECT_EQ(lister->threads[1], lister->threads[0]);
    EXPECT_DOUBLE_EQ(samples.back().cpuSeconds.at(appKey("org.gnome.gedit.desktop", "Text Editor")), 0.2);
}

TEST_F(ProcessSamplerTest, SharesAddUpToTheHostsBusyTime) {
    FakeProcess browser{.pid = 100, .name = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .cpu = 500};
    FakeProcess helper{.pid = 101, .name = "crashhelper", .exe = "/usr/lib/firefox-esr/crashhelper", .cpu = 100};
    FakeProcess kernel{.pid = 3, .name = "kworker/0:1", .exe = std::nullopt, .cpu = 70, .flags = 0x4208060,
                       .rssAnonKB = std::nullopt, .swapKB = std::nullopt, .cgroup = "0::/\n"};
    FakeProcess listing{.pid = 400, .name = "ps", .exe = "/bin/ps", .cpu = 5};
    FakeProcess own{.pid = ownPID, .name = "halvrick", .exe = "/opt/halvrick/halvrick", .cpu = 20};
    for (const auto* p : {&browser, &helper, &kernel, &listing}) {
        procs.write(*p);
    }
    make();

    // 4 cores, half busy for 2 s: 4 s of CPU time.
    host(400, 400);
    grow(browser, 100);
    grow(helper, 50);
    grow(gedit, 20);
    grow(bash, 10);
    grow(kernel, 30);
    grow(listing, 5);
    grow(own, 25);
    auto sample = step();
    ASSERT_TRUE(sample);
    const AppKey firefox = appKey("firefox-esr.desktop", "Firefox ESR");
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(firefox), 1.5);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(appKey("org.gnome.gedit.desktop", "Text Editor")), 0.2);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("bash")), 0.1);
    EXPECT_DOUBLE_EQ(sample->ownCPUSeconds, 0.25);
    // The kernel thread's time and what nobody accounts for.
    EXPECT_NEAR(sample->cpuSeconds.at(AppKey::system()), 4 - 1.8 - 0.25, 1e-9);
    const double total = std::accumulate(sample->cpuSeconds.begin(), sample->cpuSeconds.end(), sample->ownCPUSeconds,
                                         [](double sum, const auto& entry) { return sum + entry.second; });
    EXPECT_NEAR(total, 4, 1e-9);

    EXPECT_THAT(sample->pids.at(firefox), ElementsAre(100, 101));
    EXPECT_EQ(sample->footprints.at(firefox), 2000u * 1024u);
    EXPECT_THAT(sample->footprints, Not(Contains(Key(process("bash")))));
    EXPECT_THAT(sample->pids.at(process("bash")), ElementsAre(300));
    // The listing, kernel threads and this process itself are in none of the maps.
    for (const auto& [key, pids] : sample->pids) {
        EXPECT_THAT(pids, Not(Contains(ownPID)));
        EXPECT_THAT(pids, Not(Contains(400)));
        EXPECT_THAT(pids, Not(Contains(3)));
    }
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(process("ps")))));
    EXPECT_THAT(sample->attributedPIDs, ElementsAre(ownPID, 100, 101, 200, 300));

    // Processes that used more than the host reports leave nothing for the system.
    host(80, 720);
    grow(browser, 150);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(firefox), 1.5);
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(AppKey::system()))));
}

TEST_F(ProcessSamplerTest, AReusedIdentifierIsANewProcess) {
    make();
    host(400, 400);
    // gedit's identifier now belongs to a shell started since; xterm's counter went backwards.
    FakeProcess successor{.pid = gedit.pid, .name = "bash", .exe = "/usr/bin/bash", .cpu = 30, .start = 900};
    procs.write(successor);
    bash.cpu = 4;
    procs.write(bash);
    const auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("bash")), 0.3);
    EXPECT_THAT(sample->pids.at(process("bash")), ElementsAre(200, 300));
    EXPECT_THAT(sample->pids, Not(Contains(Key(appKey("org.gnome.gedit.desktop", "Text Editor")))));
}

TEST_F(ProcessSamplerTest, KernelThreadsAreReadAgainOnlyNowAndThen) {
    make();
    // kthreadd's pid goes to a new program right after the first sweep. Until the kernel thread is read
    // again, the newcomer's time is the system's; then it is baselined, as it may have started sweeps ago.
    FakeProcess successor{.pid = 2, .name = "cruncher", .exe = "/usr/bin/cruncher", .cpu = 0, .start = 1100};
    for (std::uint64_t sweep = 2; sweep <= ProcessSampler::uncountedRecheckSweeps + 2; ++sweep) {
        grow(successor, 100);
        host(400, 400);
        const auto sample = step();
        ASSERT_TRUE(sample);
        SCOPED_TRACE(sweep);
        const bool found = sweep > ProcessSampler::uncountedRecheckSweeps;
        EXPECT_EQ(sample->pids.contains(process("cruncher")), found);
        const double counted = sweep > ProcessSampler::uncountedRecheckSweeps + 1 ? 1.0 : 0.0;
        EXPECT_EQ(sample->cpuSeconds.contains(process("cruncher")), counted > 0);
        EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(AppKey::system()), 4.0 - counted);
    }
}

TEST_F(ProcessSamplerTest, TheMemoryOfAProcessThatDidNotRunIsReadOnlyNowAndThen) {
    make();
    const AppKey editor = appKey("org.gnome.gedit.desktop", "Text Editor");
    const auto footprintAfterStep = [&](std::uint64_t cpu) {
        grow(gedit, cpu);
        host(400, 400);
        const auto sample = step();
        return sample ? sample->footprints.at(editor) : 0;
    };
    gedit.rssAnonKB = 2000;
    procs.write(gedit);
    // Read at the first sweep; then held until a sweep reads it again.
    for (std::uint64_t sweep = 2; sweep < 1 + ProcessSampler::idleFootprintSweeps; ++sweep) {
        EXPECT_EQ(footprintAfterStep(0), 1000U * 1024) << sweep;
    }
    EXPECT_EQ(footprintAfterStep(0), 2000U * 1024);
    // A process that ran is read at once.
    gedit.rssAnonKB = 3000;
    EXPECT_EQ(footprintAfterStep(5), 3000U * 1024);
}

TEST_F(ProcessSamplerTest, AProcessOfOneThreadIsReadWholeOnlyWhenItsThreadRan) {
    FakeProcess pool{
        .pid = 800, .name = "pool", .exe = "/usr/bin/pool", .cpu = 10, .start = 960, .threads = 4};
    procs.write(pool);
    for (const FakeProcess& p : {gedit, pool}) {
        fixtures::writeFile(procs.root() / std::to_string(p.pid) / "schedstat", "5000 0 1\n");
    }
    make();
    const auto cpuAfterStep = [&](std::uint64_t editorTicks, std::uint64_t poolTicks) {
        grow(gedit, editorTicks);
        grow(pool, poolTicks);
        host(400, 400);
        const auto sample = step();
        const auto seconds = [&](const AppKey& key) {
            return sample && sample->cpuSeconds.contains(key) ? sample->cpuSeconds.at(key) : 0.0;
        };
        return std::pair(seconds(appKey("org.gnome.gedit.desktop", "Text Editor")), seconds(process("pool")));
    };
    // The second sweep learns the run times; from then on a run time that holds still stands for the stat.
    EXPECT_EQ(cpuAfterStep(0, 0), std::pair(0.0, 0.0));
    EXPECT_EQ(cpuAfterStep(30, 20), std::pair(0.0, 0.2))
        << "the stat is not read while the thread did not run";
    // Its thread ran: the stat is read and the time it shows is counted, none of it lost.
    fixtures::writeFile(procs.root() / std::to_string(gedit.pid) / "schedstat", "9000 0 2\n");
    EXPECT_EQ(cpuAfterStep(10, 0), std::pair(0.4, 0.0));
    EXPECT_EQ(cpuAfterStep(0, 0), std::pair(0.0, 0.0));
}

TEST_F(ProcessSamplerTest, ARunTimeOfZeroNeverHidesAReusedPid) {
    const auto runTime = [&](std::int32_t pid) {
        fixtures::writeFile(procs.root() / std::to_string(pid) / "schedstat", "0 0 0\n");
    };
    runTime(gedit.pid);
    make();
    host(400, 400);
    ASSERT_TRUE(step());
    // gedit's pid now belongs to a shell whose thread, like gedit's, has no run time to show yet.
    procs.remove(gedit.pid);
    procs.write({.pid = gedit.pid, .name = "bash", .exe = "/usr/bin/bash", .cpu = 0, .start = 1100});
    runTime(gedit.pid);
    host(400, 400);
    const auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids.at(process("bash")), ElementsAre(200, 300));
    EXPECT_THAT(sample->pids, Not(Contains(Key(appKey("org.gnome.gedit.desktop", "Text Editor")))));
}

TEST_F(ProcessSamplerTest, ProcessesThatVanishOrFailToReadAreNeverCountedWhole) {
    FakeProcess shortLived{.pid = 700, .name = "short", .exe = "/usr/bin/short", .cpu = 40, .start = 950};
    procs.write(shortLived);
    make();

    // Listed, then gone before it could be read.
    lister->vanishing = {700};
    host(400, 400);
    auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids, Not(Contains(Key(process("short")))));

    // gedit ran, but its status cannot be read once, bash's stat neither; both come back with 50 s of
    // CPU time that was not spent in the next interval.
    grow(gedit, 10);
    procs.removeEntry(gedit.pid, "status");
    procs.removeEntry(bash.pid, "stat");
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids, Not(Contains(Key(appKey("org.gnome.gedit.desktop", "Text Editor")))));
    EXPECT_THAT(sample->pids, Not(Contains(Key(process("bash")))));

    grow(gedit, 5000);
    grow(bash, 5000);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    const AppKey editor = appKey("org.gnome.gedit.desktop", "Text Editor");
    EXPECT_THAT(sample->pids.at(editor), ElementsAre(200));
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(editor))));
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(process("bash")))));

    grow(gedit, 20);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(editor), 0.2);
}

TEST_F(ProcessSamplerTest, AListingThatFoundNothingIsNotFollowedByLifetimeTotals) {
    make();
    lister->emptyOnce = true;
    host(400, 400);
    auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(health, ElementsAre(true, false));
    // Nothing was read: the host's whole busy time is the system's.
    EXPECT_THAT(sample->cpuSeconds, ElementsAre(testing::Pair(AppKey::system(), 4.0)));

    grow(gedit, 20);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->cpuSeconds, Not(Contains(Key(appKey("org.gnome.gedit.desktop", "Text Editor")))));
    EXPECT_THAT(health, ElementsAre(true, false, true));
}

TEST_F(ProcessSamplerTest, NamesThatAreNotUTF8AreMended) {
    make();
    procs.write({.pid = 900, .name = "\xFF\xFE" "bad", .exe = std::nullopt, .cpu = 10, .start = 990});
    procs.write({.pid = 901, .name = "cafe", .exe = "/usr/local/bin/caf\xE9-tool", .cpu = 10, .start = 990});
    procs.write({.pid = 902, .name = "n\xC3\xA4hmaschine\xE2\x82", .exe = std::nullopt, .cpu = 10, .start = 990});
    host(400, 400);
    const auto sample = step();
    ASSERT_TRUE(sample);
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process(r + r + "bad")), 0.1);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("caf" + r + "-tool")), 0.1);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("n\xC3\xA4hmaschine")), 0.1);
    for (const auto& [key, pids] : sample->pids) {
        EXPECT_EQ(mendedUTF8(key.displayName), key.displayName);
        EXPECT_EQ(mendedUTF8(key.id), key.id);
    }
}

TEST_F(ProcessSamplerTest, SuspendsStallsAndClockJumpsOnlyReBaseline) {
    const struct {
        const char* what;
        double monotonic;
        double wall;
        bool books;
    } cases[] = {
        {"on time", 2, 2, true},
        {"early", 1, 1, true},
        {"wall clock slewed", 2, 2.5, true},
        {"main thread stalled", 6.5, 6.5, false},
        {"suspended for an hour", 2, 3602, false},
        {"clock set back", 2, -3598, false},
        {"no time passed", 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        samples.clear();
        make();
        grow(gedit, 10000);
        host(40000, 40000);
        const auto gap = step(c.monotonic, c.wall);
        ASSERT_EQ(gap.has_value(), c.books);
        if (gap) {
            EXPECT_EQ(gap->interval, c.monotonic);
        }
        // Either way the next interval counts only its own growth.
        grow(gedit, 20);
        host(400, 400);
        const auto next = step();
        ASSERT_TRUE(next);
        EXPECT_DOUBLE_EQ(next->cpuSeconds.at(appKey("org.gnome.gedit.desktop", "Text Editor")), 0.2);
        EXPECT_NEAR(next->cpuSeconds.at(AppKey::system()), 4 - 0.2, 1e-9);
    }
}

TEST_F(ProcessSamplerTest, MissingHostTicksSkipSamplesButMoveTheBaseline) {
    make();
    // Emptied rather than removed: the reader keeps the file open, as it does /proc/stat.
    fixtures::writeFile(procs.root() / "stat", "");
    grow(gedit, 20);
    EXPECT_FALSE(step());
    host(400, 400);
    grow(gedit, 20);
    EXPECT_FALSE(step());
    host(400, 400);
    grow(gedit, 30);
    const auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(appKey("org.gnome.gedit.desktop", "Text Editor")), 0.3);
    EXPECT_THAT(health, ElementsAre(true, true, true, true));
}

TEST_F(ProcessSamplerTest, ANewApplicationIndexAttributesRunningProcessesAgain) {
    const auto full = index;
    index = std::make_shared<const ApplicationIndex>();
    make();
    grow(gedit, 20);
    host(400, 400);
    auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(process("gedit")), 0.2);

    index = full;
    grow(gedit, 30);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuSeconds.at(appKey("org.gnome.gedit.desktop", "Text Editor")), 0.3);
    EXPECT_THAT(sample->pids, Not(Contains(Key(process("gedit")))));
}

TEST_F(ProcessSamplerTest, ManyShortLivedProgramsDoNotDisturbTheOthers) {
    make();
    constexpr std::int32_t jobs = 400;
    for (std::int32_t i = 0; i < jobs; ++i) {
        procs.write({.pid = 1000 + i, .name = "job" + std::to_string(i),
                     .exe = "/usr/local/bin/job" + std::to_string(i), .cpu = 1, .start = 990});
    }
    host(400, 400);
    auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->pids.size(), jobs + 2u);

    for (std::int32_t i = 0; i < jobs; ++i) {
        procs.remove(1000 + i);
    }
    for (int round = 0; round < 2; ++round) {
        grow(gedit, 20);
        grow(bash, 10);
        host(400, 400);
        sample = step();
        ASSERT_TRUE(sample);
        EXPECT_THAT(sample->cpuSeconds,
                    ElementsAre(testing::Pair(appKey("org.gnome.gedit.desktop", "Text Editor"), 0.2),
                                testing::Pair(AppKey::system(), testing::DoubleNear(3.7, 1e-9)),
                                testing::Pair(process("bash"), 0.1)));
        EXPECT_EQ(sample->pids.size(), 2u);
    }
}

TEST(ProcessSamplerSmokeTest, SamplesThisMachineTwice) {
    testApplication();
    ProcessSampler sampler;
    std::vector<Sample> samples;
    sampler.onSample = [&](const Sample& s) { samples.push_back(s); };
    sampler.sample();
    EXPECT_TRUE(samples.empty());
    sampler.sample();
    ASSERT_EQ(samples.size(), 1u);
    const Sample& sample = samples.front();
    EXPECT_GT(sample.interval, 0);
    EXPECT_FALSE(sample.pids.empty());
    EXPECT_FALSE(sample.footprints.empty());
    EXPECT_THAT(sample.attributedPIDs, Contains(sampler.ownPID()));
    for (const auto& [key, seconds] : sample.cpuSeconds) {
        EXPECT_GT(seconds, 0) << key.id;
    }
    for (const auto& [key, pids] : sample.pids) {
        EXPECT_EQ(mendedUTF8(key.displayName), key.displayName);
        EXPECT_THAT(pids, Not(Contains(sampler.ownPID())));
    }
}

// Real processes sit behind a fixture pid, so the kept files are tied to them as they are in /proc.
TEST_F(ProcessSamplerTest, WithKeptFilesAReusedPidIsANewProcessAndAnEndedOneLeavesNothingOpen) {
    RunningProgram first({"/bin/sleep", "600"});
    ASSERT_GT(first.pid(), 0);
    const fixtures::fs::path pid = procs.root() / "500";
    fixtures::fs::create_directory_symlink(first.procFolder(), pid);
    auto keptFiles = std::make_unique<ProcFileCache>(64);
    const ProcFileCache& files = *keptFiles;
    make(std::move(keptFiles));
    host(400, 400);
    auto sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids.at(process("sleep")), ElementsAre(500));
    const std::size_t kept = files.openFor(500);
    EXPECT_GT(kept, 0U);

    // A process is known by its pid and start time, counted in clock ticks: a real reused pid always
    // comes with a later start, so the stand-in must not start in the same tick as the first.
    const auto started = first.startTime();
    first.end();
    std::optional<RunningProgram> second;
    for (int tries = 0; tries < 1000 && (!second || second->startTime() == started); ++tries) {
        second.emplace(std::vector<std::string>{"/usr/bin/tail", "-f", "/dev/null"});
    }
    ASSERT_GT(second->pid(), 0);
    ASSERT_NE(second->startTime(), started);
    fixtures::fs::remove(pid);
    fixtures::fs::create_directory_symlink(second->procFolder(), pid);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids.at(process("tail")), ElementsAre(500));
    EXPECT_THAT(sample->pids, Not(Contains(Key(process("sleep")))));
    EXPECT_EQ(files.openFor(500), kept) << "the first process's files make way for the second's";

    second->end();
    fixtures::fs::remove(pid);
    host(400, 400);
    sample = step();
    ASSERT_TRUE(sample);
    EXPECT_THAT(sample->pids, Not(Contains(Key(process("tail")))));
    EXPECT_EQ(files.openFor(500), 0U);
}

} // namespace
} // namespace halvrick
