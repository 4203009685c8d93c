#include "core/MachineVitals.h"

#include "core/JsonCoding.h"

#include <algorithm>

namespace halvrick {

namespace {

// Modular subtraction read as two's complement: exact whenever the true difference fits in 64 signed bits.
std::int64_t signedDifference(std::uint64_t now, std::uint64_t earlier) {
    return static_cast<std::int64_t>(now - earlier);
}

} // namespace

MemoryPressure json::requiredMemoryPressure(const Json& object, std::string_view key) {
    const std::int64_t raw = required<std::int64_t>(object, key);
    const auto pressure = raw >= 1 && raw <= 4 ? memoryPressureFromRaw(static_cast<int>(raw)) : std::nullopt;
    if (!pressure) {
        throw Error("\"" + std::string(key) + "\" must be 1, 2 or 4");
    }
    return *pressure;
}

json::Json VitalsSnapshot::toJson() const {
    return {{"date", json::fromDate(date)},
            {"memoryUsed", memoryUsed},
            {"swapUsed", swapUsed},
            {"pressure", rawValue(pressure)},
            {"storageFree", storageFree}};
}

VitalsSnapshot VitalsSnapshot::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "snapshot");
    return {json::requiredDate(obj, "date"), json::required<std::uint64_t>(obj, "memoryUsed"),
            json::required<std::uint64_t>(obj, "swapUsed"), json::requiredMemoryPressure(obj, "pressure"),
            json::required<std::uint64_t>(obj, "storageFree")};
}

MachineVitals::MachineVitals(Date date, std::uint64_t memoryTotal, std::uint64_t memoryUsed,
                             std::uint64_t memoryCached, std::uint64_t swapUsed, MemoryPressure pressure,
                             std::uint64_t storageTotal, std::uint64_t storageFree)
    : date(date), memoryTotal(memoryTotal), memoryUsed(std::min(memoryUsed, memoryTotal)),
      memoryCached(std::min(memoryCached, memoryTotal)), swapUsed(swapUsed), pressure(pressure),
      storageTotal(storageTotal), storageFree(std::min(storageFree, storageTotal)) {}

std::uint64_t MachineVitals::memoryFree() const {
    return memoryUsed > memoryTotal ? 0 : memoryTotal - memoryUsed;
}

double MachineVitals::memoryFraction() const {
    return memoryTotal == 0 ? 0 : static_cast<double>(memoryUsed) / static_cast<double>(memoryTotal);
}

// A decoded sample may hold more free than total storage; it then reads as nothing used.
std::uint64_t MachineVitals::storageUsed() const {
    return storageFree >= storageTotal ? 0 : storageTotal - storageFree;
}

double MachineVitals::storageFraction() const {
    return storageTotal == 0 ? 0 : static_cast<double>(storageUsed()) / static_cast<double>(storageTotal);
}

json::Json MachineVitals::toJson() const {
    return {{"date", json::fromDate(date)}, {"memoryTotal", memoryTotal}, {"memoryUsed", memoryUsed},
            {"memoryCached", memoryCached}, {"swapUsed", swapUsed},       {"pressure", rawValue(pressure)},
            {"storageTotal", storageTotal}, {"storageFree", storageFree}};
}

MachineVitals MachineVitals::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "machine vitals");
    MachineVitals v;
    v.date = json::requiredDate(obj, "date");
    v.memoryTotal = json::required<std::uint64_t>(obj, "memoryTotal");
    v.memoryUsed = json::required<std::uint64_t>(obj, "memoryUsed");
    v.memoryCached = json::required<std::uint64_t>(obj, "memoryCached");
    v.swapUsed = json::required<std::uint64_t>(obj, "swapUsed");
    v.pressure = json::requiredMemoryPressure(obj, "pressure");
    v.storageTotal = json::required<std::uint64_t>(obj, "storageTotal");
    v.storageFree = json::required<std::uint64_t>(obj, "storageFree");
    return v;
}

VitalsChange VitalsChange::between(const VitalsSnapshot& snapshot, const MachineVitals& vitals) {
    return {signedDifference(vitals.memoryUsed, snapshot.memoryUsed),
            signedDifference(vitals.swapUsed, snapshot.swapUsed),
            signedDifference(vitals.storageFree, snapshot.storageFree)};
}

} // namespace halvrick
