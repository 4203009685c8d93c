#include "VitalsTestSupport.h"

#include "reports/VitalsWindowController.h"

#include <QDeadlineTimer>
#include <QScrollArea>
#include <cstdio>

namespace halvrick::vitalstest {
namespace {

// Pictures of the window for people to look at; saved only when HALVRICK_SCREENSHOTS names a folder.
class VitalsScreenshotTest : public VitalsTest {
protected:
    void shoot(VitalsView& view, QWidget& top, const QString& name) {
        screenshot(top, name);
        // The whole column, as scrolling would show it.
        QWidget* content = view.widget();
        content->resize(content->width(), content->sizeHint().height());
        screenshot(*content, name + "-full");
    }
};

TEST_F(VitalsScreenshotTest, BeforeTheFirstReading) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    shoot(*view, *top, "vitals-before-reading");
}

TEST_F(VitalsScreenshotTest, AWeekOfFolderGrowthEventsAndAppPeaks) {
    const std::vector<std::array<std::uint64_t, 3>> week{
        {1'000'000'000, 4'000'000'000, 12'000'000'000}, {1'500'000'000, 4'000'000'000, 12'000'000'000},
        {2'200'000'000, 3'800'000'000, 12'100'000'000}, {2'200'000'000, 3'000'000'000, 12'100'000'000},
        {4'200'000'000, 3'000'000'000, 12'100'000'000}, {5'600'000'000, 2'500'000'000, 12'100'000'000}};
    for (int i = 0; i < 6; ++i) {
        ledger().recordFolderSizes({{"downloads", week[i][0]}, {"desktop", week[i][1]}, {"documents", week[i][2]}},
                                   daysAgo(5 - i, 8), world.calendar);
    }
    ledger().snapshots = {VitalsSnapshot(world.now - 604800, 5ull << 30, 0, MemoryPressure::normal, 231'000'000'000),
                          VitalsSnapshot(world.now - 86400, 7ull << 30, 300ull << 20, MemoryPressure::normal,
                                         204'000'000'000),
                          VitalsSnapshot(world.now - 3 * 3600, 6ull << 30, 0, MemoryPressure::normal,
                                         201'000'000'000)};
    const std::vector<std::pair<double, VitalsEventKind>> events{
        {5 * 86400, VitalsEventKind::storageFilled(6'100'000'000)},
        {2 * 86400 + 3600, VitalsEventKind::swapStarted(300ull << 20)},
        {86400 + 600, VitalsEventKind::pressureCritical()},
        {5 * 3600, VitalsEventKind::memoryFreed(2ull << 30)},
        {40 * 60, VitalsEventKind::storageFreed(3'200'000'000)}};
    int n = 1;
    for (const auto& [ago, kind] : events) {
        char id[37];
        std::snprintf(id, sizeof id, "00000000-0000-4000-8000-%012d", n++);
        ledger().events.emplace_back(*Uuid::fromString(id), world.now - ago, kind);
    }
    VitalsDay yesterday(StatsLedger::dayKey(daysAgo(1), world.calendar));
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::uint64_t>>{
             {"Firefox", 2ull << 30}, {"Code", 3ull << 30}, {"Thunderbird", 600ull << 20}}) {
        const AppKey key = fakes::app(name);
        yesterday.apps[key.id] = AppMemoryPeak(key.id, name, bytes, bytes, daysAgo(1));
    }
    ledger().days[yesterday.day].apps = yesterday.apps;

    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(MachineVitals(world.now, 16ull << 30, 11ull << 30, 3ull << 30, 512ull << 20,
                                      MemoryPressure::warning, 1'000'000'000'000, 92'000'000'000));
    ProcessSampler::Sample sample;
    sample.time = world.now;
    sample.interval = 2;
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::uint64_t>>{
             {"Firefox", 3500ull << 20}, {"Code", 2ull << 30}, {"Thunderbird", 900ull << 20},
             {"Terminal", 300ull << 20}, {"Files", 180ull << 20}, {"Music", 120ull << 20}, {"Clock", 40ull << 20}}) {
        sample.footprints[fakes::app(name)] = bytes;
    }
    model->ingestProcesses(sample);
    model->refreshFolders(world.now);
    settle();
    shoot(*view, *top, "vitals-fixture-week");
}

// This machine's own readings: the real samplers for a few seconds, folders included. Only with
// HALVRICK_SCREENSHOTS set, since it waits on the real machine.
TEST_F(VitalsScreenshotTest, ThisMachineLive) {
    if (qEnvironmentVariable("HALVRICK_SCREENSHOTS").isEmpty()) {
        GTEST_SKIP() << "set HALVRICK_SCREENSHOTS to a folder";
    }
    AppServices services = AppServices::system(std::make_shared<Defaults>(std::nullopt));
    services.dataFolder = std::nullopt;
    AppModel live(Config::defaults(), *settings, notifier, std::move(services));
    live.start();
    VitalsWindowController controller(live);
    controller.show();
    QWidget& window = *controller.window();
    window.resize(560, 520);
    QDeadlineTimer deadline(15000);
    while ((!live.machine() || live.blame().memoryApps().empty() || live.isMeasuringFolders()) &&
           !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    settle();
    shoot(*controller.view(), window, "vitals-live");
    window.hide();
}

} // namespace
} // namespace halvrick::vitalstest
