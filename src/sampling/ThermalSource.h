#pragma once

#include "core/ThermalLevel.h"

#include <array>
#include <string>
#include <string_view>

namespace halvrick {

// Where the system's thermal state comes from.
class ThermalSource {
public:
    virtual ~ThermalSource() = default;
    // 0 nominal, 1 fair, 2 serious, 3 critical.
    virtual int thermalState() = 0;
};

// Unknown raw states count as serious: better a warmer pea than a missed warning.
ThermalLevel thermalLevelForRawState(int raw);

// Linux has no single thermal-pressure figure, so this estimates one from the kernel's thermal zones
// (temperature against trip points), the CPU temperature sensors of hwmon (against their limits, or
// against fixed temperatures when they report none) and processor throttling. The hottest reading
// wins; no sensor at all reads as nominal. Temperatures are in millidegrees Celsius.
class SysfsThermalSource : public ThermalSource {
public:
    // This close below a critical limit the kernel may shut down at any moment.
    static constexpr long long criticalMargin = 5000;
    // This close below the lowest limit that matters the machine counts as fair.
    static constexpr long long fairMargin = 10000;
    // For sensors without limits.
    static constexpr long long absoluteCritical = 95000;
    static constexpr long long absoluteSerious = 90000;
    static constexpr long long absoluteFair = 80000;

    // hwmon drivers that measure the processor itself.
    static constexpr std::array<std::string_view, 4> cpuSensorNames{"coretemp", "k10temp", "zenpower",
                                                                    "cpu_thermal"};
    // Cooling devices that slow the processor down when active.
    static constexpr std::array<std::string_view, 2> throttlingDeviceTypes{"Processor", "intel_powerclamp"};

    explicit SysfsThermalSource(std::string sysRoot = "/sys");

    int thermalState() override;

private:
    std::string sysRoot_;
};

} // namespace halvrick
