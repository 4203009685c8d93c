#include "core/MemoryBlamePolicy.h"

namespace halvrick {

bool MemoryBlamePolicy::isCool(HeatState state) const {
    return state <= coolestState;
}

bool MemoryBlamePolicy::blames(std::uint64_t topBytes, HeatState state, MemoryPressure pressure) const {
    return isCool(state) && topBytes >= minimumAppBytes && pressure != MemoryPressure::normal;
}

bool MemoryBlamePolicy::isFull(HeatState state, MemoryPressure pressure) const {
    return pressure == MemoryPressure::critical && isCool(state);
}

} // namespace halvrick
