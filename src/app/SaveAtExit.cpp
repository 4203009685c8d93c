#include "app/SaveAtExit.h"

#include <atomic>
#include <cstdlib>
#include <utility>

namespace halvrick {

namespace {

std::atomic<SaveAtExit*> armed{nullptr};

} // namespace

SaveAtExit::SaveAtExit(std::function<void()> save) : save_(std::move(save)), owner_(std::this_thread::get_id()) {
    // Registered once per process: atexit cannot take a handler back.
    static const bool registered = std::atexit(&SaveAtExit::runAtExit) == 0;
    if (registered) {
        armed.store(this);
    }
}

SaveAtExit::~SaveAtExit() {
    SaveAtExit* self = this;
    armed.compare_exchange_strong(self, nullptr);
}

void SaveAtExit::runAtExit() {
    SaveAtExit* saver = armed.exchange(nullptr);
    if (saver && saver->owner_ == std::this_thread::get_id()) {
        saver->save_();
    }
}

} // namespace halvrick
