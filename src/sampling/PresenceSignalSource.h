#pragma once

#include <functional>

namespace halvrick {

// Where "away" and "back" come from: screen lock, sleep and wake, screens going dark and waking.
class PresenceSignalSource {
public:
    // Called with true when the user went away, false when they came back.
    using Observer = std::function<void(bool lost)>;

    virtual ~PresenceSignalSource() = default;
    // Registers for the signals; a source that cannot register stays silent and reports nothing.
    virtual void start(Observer observer) = 0;
};

} // namespace halvrick
