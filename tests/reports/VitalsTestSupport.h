#pragma once

#include "../model/AppModelFakes.h"
#include "QtTestApp.h"
#include "reports/VitalsView.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace halvrick::vitalstest {

// A model over the fake world with an in-memory vitals ledger the test fills, and the environment of the
// window: the world's clock, three folders under /home/pea and a file manager that only records.
class VitalsTest : public fakes::ModelTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        make();
    }

    VitalsView::Environment environment() {
        return {[this] { return world.now; },
                [this] { return world.calendar; },
                {{"downloads", "Downloads", "/home/pea/Downloads"},
                 {"desktop", "Desktop", "/home/pea/Desktop"},
                 {"documents", "Documents", "/home/pea/Documents"}},
                [this](const QUrl& url) {
                    opened.push_back(url);
                    return fileManagerOpens;
                }};
    }

    // The view in a window of the minimum size, shown offscreen.
    std::unique_ptr<QWidget> window(VitalsView** view) {
        auto made = std::make_unique<QWidget>();
        made->setAttribute(Qt::WA_DontShowOnScreen);
        made->resize(560, 520);
        *view = new VitalsView(*model, environment(), made.get());
        (*view)->setGeometry(0, 0, 560, 520);
        made->show();
        QCoreApplication::processEvents();
        return made;
    }

    MachineVitals vitals(std::uint64_t memoryUsed = 6ull << 30, std::uint64_t swap = 0,
                         MemoryPressure pressure = MemoryPressure::normal, std::uint64_t storageTotal = 500'000'000'000,
                         std::uint64_t storageFree = 200'000'000'000, std::uint64_t memoryTotal = 16ull << 30) {
        return MachineVitals(world.now, memoryTotal, memoryUsed, 2ull << 30, swap, pressure, storageTotal,
                             storageFree);
    }

    // Delivers what the model published on the next turn of the event loop.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    VitalsLedger& ledger() { return model->vitals().ledger(); }
    Date daysAgo(int days, int hour = 9) {
        const DateComponents c = world.calendar.components(world.calendar.addingDays(-days, world.now));
        return world.calendar.date(c.year, c.month, c.day, hour);
    }

    std::vector<QUrl> opened;
    // Whether the fake desktop's file manager takes what it is given.
    bool fileManagerOpens = true;
};

// Saves the widget's picture when HALVRICK_SCREENSHOTS names a folder; does nothing otherwise.
inline void screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("HALVRICK_SCREENSHOTS");
    if (folder.isEmpty()) {
        return;
    }
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + "/" + name + ".png"));
}

} // namespace halvrick::vitalstest
