#pragma once

#include "core/MachineVitals.h"
#include "reports/VitalsPanel.h"

class QLabel;

namespace halvrick {

class VitalsBar;

// The "Storage" card: the home folder's file system, used of total, a bar that turns orange from 90 %
// used, the free space and "nearly full"; a disk that cannot be read says so instead.
class VitalsStorageCard : public VitalsPanel {
public:
    explicit VitalsStorageCard(QWidget* parent = nullptr);

    void setVitals(const MachineVitals& vitals);

    const QLabel& unreadable() const { return *unreadable_; }
    const QWidget& figures() const { return *figures_; }
    const QLabel& used() const { return *used_; }
    const QLabel& total() const { return *total_; }
    const VitalsBar& bar() const { return *bar_; }
    const QLabel& free() const { return *free_; }
    const QLabel& nearlyFull() const { return *nearlyFull_; }

private:
    QLabel* unreadable_;
    QWidget* figures_;
    QLabel* used_;
    QLabel* total_;
    VitalsBar* bar_;
    QLabel* free_;
    QLabel* nearlyFull_;
};

} // namespace halvrick
