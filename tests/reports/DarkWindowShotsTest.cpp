#include "CardWindowTestSupport.h"
#include "DarkPalette.h"
#include "HistoryFixture.h"
#include "VitalsTestSupport.h"
#include "reports/CulpritList.h"
#include "reports/HistoryView.h"
#include "reports/RoastWindowController.h"
#include "reports/WrappedWindowController.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

// A name from another program that tries markup, a line break, a bidi override and sheer length.
const std::string hostileName = "<b>Bold</b>\u202Eexe.\nname-of-a-process-that-goes-on-and-on-and-on-forever-and-ever";

// Scroll areas size their columns over a few rounds of posted layout requests.
void settleLayouts() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
    }
}

// Looked at by hand: the build folder keeps one picture per window.
void keep(QWidget& widget, const QString& name) {
    settleLayouts();
    const QPixmap picture = widget.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QCoreApplication::applicationDirPath() + "/dark-" + name + ".png", "PNG"));
}

TEST(DarkWindowShotsTest, HistoryAtItsMinimumSizeWithAHostileName) {
    ASSERT_TRUE(qtTestAppReady());
    const DarkPalette dark;
    using namespace history_fixture;
    StatsLedger ledger = thirteenMonths();
    const AppKey hostile(AppKey::Kind::process, "hostile", hostileName);
    for (int day = 0; day < 10; ++day) {
        ledger.addCPU(5000, hostile, daysAgo(day), calendar());
        ledger.addSweat(4000, hostile, daysAgo(day), calendar());
    }
    QTemporaryDir cards;
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new HistoryView(source(ledger, std::make_shared<FakeChooser>(std::nullopt), cards.path()), &window);
    layout->addWidget(view);
    window.resize(720, 640);
    window.show();
    keep(window, "history");
    QWidget* column = view->sections().widget();
    column->resize(column->width(), column->sizeHint().height());
    keep(*column, "history-column");
    EXPECT_LE(column->minimumSizeHint().width(), view->sections().viewport()->width());
    // The sentence that names the worst culprit neither breaks its line nor turns the text around.
    const QString lead = view->blameHistory().lead();
    EXPECT_TRUE(lead.contains(QStringLiteral("<b>Bold</b>"))) << lead.toStdString();
    EXPECT_FALSE(lead.contains(QLatin1Char('\n')));
    EXPECT_FALSE(lead.contains(QChar(0x202E)));
}

class DarkVitalsShotsTest : public vitalstest::VitalsTest {};

TEST_F(DarkVitalsShotsTest, VitalsAtItsMinimumSizeWithAHostileName) {
    const DarkPalette dark;
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals(15ull << 30, 3ull << 30, MemoryPressure::critical, 1'000'000'000'000, 1'000'000));
    ProcessSampler::Sample sample;
    sample.time = world.now;
    sample.interval = 2;
    sample.footprints[fakes::app(hostileName)] = 9ull << 30;
    sample.footprints[fakes::app("Firefox")] = 3ull << 30;
    model->ingestProcesses(sample);
    model->refreshFolders(world.now);
    settle();
    keep(*top, "vitals");
    QWidget* content = view->widget();
    content->resize(content->width(), content->sizeHint().height());
    keep(*content, "vitals-column");
}

class DarkCardShotsTest : public CardWindowTest {};

TEST_F(DarkCardShotsTest, RoastAndWrappedWindowsWithAHostileName) {
    const DarkPalette dark;
    RoastWindowController roast(*model, worldClock(), dialog(std::nullopt));
    model->ingestProcesses(fakes::processSample(world.now, 2, {{AppKey::system(), 2}, {fakes::app(hostileName), 1}}));
    roast.show();
    ASSERT_NE(roast.window(), nullptr);
    roast.window()->setAttribute(Qt::WA_DontShowOnScreen);
    keep(*roast.window(), "roast");

    WrappedWindowController wrapped(*model, worldClock(), dialog(std::nullopt));
    wrapped.showSample();
    ASSERT_NE(wrapped.window(), nullptr);
    keep(*wrapped.window(), "wrapped");
}

} // namespace
} // namespace halvrick
