#pragma once

#include "core/MachineVitals.h"
#include "reports/VitalsPanel.h"

#include <cstdint>
#include <optional>

class QLabel;

namespace halvrick {

class VitalsBar;

// The "Memory" card: memory in use of the total, a bar tinted by pressure, then pressure, swap, cache
// and today's peak.
class VitalsMemoryCard : public VitalsPanel {
public:
    explicit VitalsMemoryCard(QWidget* parent = nullptr);

    // `peakToday`: today's ledger peak; none (or 0) leaves the line out.
    void setVitals(const MachineVitals& vitals, std::optional<std::uint64_t> peakToday);

    const QLabel& used() const { return *used_; }
    const QLabel& total() const { return *total_; }
    const VitalsBar& bar() const { return *bar_; }
    const QLabel& pressure() const { return *pressure_; }
    const QLabel& swap() const { return *swap_; }
    const QLabel& cache() const { return *cache_; }
    const QLabel& peak() const { return *peak_; }
    const QWidget& peakRow() const { return *peakRow_; }

private:
    QLabel* used_;
    QLabel* total_;
    VitalsBar* bar_;
    QLabel* pressure_;
    QLabel* swap_;
    QLabel* cache_;
    QLabel* peak_;
    QWidget* peakRow_ = nullptr;
};

} // namespace halvrick
