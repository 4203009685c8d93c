#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "sampling/FolderSizer.h"

#include <QScrollArea>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <vector>

class QLabel;

namespace halvrick {

class AppModel;
class CoalescedRefresh;
class VitalsMemoryByApp;
class VitalsMemoryCard;
class VitalsStorageCard;
class VitalsWhatChanged;

// The content of the "Vitals" window: the machine as the sampler last read it, what changed since this
// morning, yesterday and a week ago, the folders, the logged events and the applications holding the
// most memory. Built once; it follows the model's vitals, memory and folder signals and, for its
// relative dates, the minute, updating only what changed, and does nothing while its window is hidden.
class VitalsView : public QScrollArea {
public:
    static constexpr int minuteMs = 60'000;

    struct Environment {
        std::function<Date()> now;
        std::function<Calendar()> calendar;
        // The folders with a row, in order.
        std::vector<FolderSizer::Folder> folders;
        // Opens a folder in the file manager; false when nothing opened it.
        std::function<bool(const QUrl&)> openUrl;

        // The system's clock and calendar, the user's folders and the desktop's file manager.
        static Environment system();
    };

    VitalsView(AppModel& model, Environment environment, QWidget* parent = nullptr);
    ~VitalsView() override;

    void refresh();

    const QLabel& reading() const { return *reading_; }
    const QWidget& cards() const { return *cards_; }
    VitalsMemoryCard& memory() const { return *memory_; }
    VitalsStorageCard& storage() const { return *storage_; }
    VitalsWhatChanged& whatChanged() const { return *whatChanged_; }
    VitalsMemoryByApp& memoryByApp() const { return *memoryByApp_; }
    const QLabel& footer() const { return *footer_; }
    const QTimer& minuteTimer() const { return minuteTimer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    AppModel& model_;
    Environment environment_;
    CoalescedRefresh* refresher_;
    QTimer minuteTimer_;
    QLabel* reading_;
    QWidget* cards_;
    VitalsMemoryCard* memory_;
    VitalsStorageCard* storage_;
    VitalsWhatChanged* whatChanged_;
    VitalsMemoryByApp* memoryByApp_;
    QLabel* footer_;
};

} // namespace halvrick
