#pragma once

#include "core/HeatState.h"
#include "core/MemoryPressure.h"

#include <cstdint>

namespace halvrick {

// Whether, while the machine is cool, memory is to be blamed on the application using the most of it.
struct MemoryBlamePolicy {
    // The least footprint of the top application for memory to be blamed on it.
    std::uint64_t minimumAppBytes = 0;
    // The hottest heat state still counted as cool.
    HeatState coolestState = HeatState::chill;

    MemoryBlamePolicy(std::uint64_t minimumAppBytes, HeatState coolestState)
        : minimumAppBytes(minimumAppBytes), coolestState(coolestState) {}

    bool isCool(HeatState state) const;
    bool blames(std::uint64_t topBytes, HeatState state, MemoryPressure pressure) const;
    bool isFull(HeatState state, MemoryPressure pressure) const;

    friend bool operator==(const MemoryBlamePolicy&, const MemoryBlamePolicy&) = default;
};

} // namespace halvrick
