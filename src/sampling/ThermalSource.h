#pragma once

#include "core/ThermalLevel.h"
#include "sampling/KeptFile.h"
#include "sampling/SystemTimeSource.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// Where the system's thermal state comes from.
class ThermalSource {
public:
    virtual ~ThermalSource() = default;
    // 0 nominal, 1 fair, 2 serious, 3 critical.
    virtual int thermalState() = 0;
    // Whether there is anything to read: without, a nominal state says nothing about temperature.
    virtual bool hasSensor() const { return true; }
};

// Unknown raw states count as serious: better a warmer pea than a missed warning.
ThermalLevel thermalLevelForRawState(int raw);

// Linux has no single thermal-pressure figure, so this estimates one from the kernel's thermal zones
// (temperature against trip points), the CPU temperature sensors of hwmon (against their limits, or
// against fixed temperatures when they report none) and processor throttling. The hottest reading
// wins; no sensor at all reads as nominal. Temperatures are in millidegrees Celsius.
// Which zones, trip points, sensors and cooling devices there are, with their types and names, is looked
// up again once per layoutInterval on the monotonic clock; every temperature, limit and cooling state is
// read on every call, through files kept open.
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
    // Seconds between two looks at which sensors there are.
    static constexpr double layoutInterval = 60;

    explicit SysfsThermalSource(std::string sysRoot = "/sys", MonotonicClock monotonicClock = monotonicSeconds);

    int thermalState() override;
    // A zone, a processor sensor or a throttling device, as of the last look at the layout.
    bool hasSensor() const override;

private:
    // A temperature at or above which the sensor reaches `level`, `margin` earlier.
    struct Limit {
        KeptFile temperature;
        int level;
        long long margin;
    };
    struct Sensor {
        KeptFile temperature;
        std::vector<Limit> limits;
    };

    void lookUpLayout();

    std::string sysRoot_;
    MonotonicClock monotonicClock_;
    std::optional<double> layoutTime_;
    std::vector<Sensor> zones_;
    std::vector<Sensor> cpuSensors_;
    // The current state of each cooling device that slows the processor down.
    std::vector<KeptFile> throttles_;
};

} // namespace halvrick
