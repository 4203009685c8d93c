#include "QtTestApp.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

class QtTestApp : public ::testing::Environment {
public:
    void SetUp() override {
        // A test may ask for screens of its own through the offscreen platform's options.
        if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen"))) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "halvrick";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new QtTestApp);
    return true;
}();

} // namespace

bool qtTestAppReady() {
    return registered && QApplication::instance() != nullptr;
}

} // namespace halvrick
