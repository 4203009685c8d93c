#pragma once

#include "../model/AppModelFakes.h"
#include "FakeChooser.h"
#include "QtTestApp.h"
#include "ui/WallClock.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace halvrick {

// A running model over the fake world, with the card folder in a runtime folder of the test's own.
class CardWindowTest : public fakes::ModelTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        ASSERT_TRUE(runtime.isValid());
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        make();
        model->start();
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", savedRuntime); }

    WallClock worldClock() {
        return {[this] { return world.now; }, [this] { return world.calendar; }};
    }
    // A save dialog that answers `answer`; kept in `chooser` for the test to read.
    std::unique_ptr<FakeChooser> dialog(std::optional<QString> answer) {
        auto fake = std::make_unique<FakeChooser>(std::move(answer));
        chooser = fake.get();
        return fake;
    }

    QTemporaryDir runtime;
    QByteArray savedRuntime;
    FakeChooser* chooser = nullptr;
};

} // namespace halvrick
