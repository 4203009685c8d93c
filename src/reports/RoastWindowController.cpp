#include "reports/RoastWindowController.h"

#include "core/FaceState.h"
#include "core/StatsLedger.h"
#include "model/AppModel.h"
#include "model/SettingsStore.h"
#include "reports/CardWindowView.h"
#include "sampling/AppDirectory.h"

#include <QObject>

namespace halvrick {

RoastWindowController::RoastWindowController(AppModel& model, WallClock clock,
                                             std::unique_ptr<SavePathChooser> chooser)
    : model_(model), clock_(std::move(clock)), chooser_(std::move(chooser)) {}

QString RoastWindowController::fileName(Date date, const Calendar& calendar) {
    return QStringLiteral("Halvrick Roast %1.png").arg(QString::fromStdString(StatsLedger::dayKey(date, calendar)));
}

CardWindowView* RoastWindowController::view() const {
    return window_.content();
}

RoastCardData RoastWindowController::cardData(const AppShare& entry, Date date) const {
    RoastCardData data;
    data.app = entry.app;
    data.share = entry.share;
    data.state = model_.state();
    data.cpuLoad = model_.cpuLoad();
    data.personality = model_.settings().personality();
    data.dateText = RoastCard::dateText(date, clock_.calendar());
    data.icon = model_.appDirectory().icon(entry.app);
    return data;
}

void RoastWindowController::show() {
    const std::optional<AppShare> entry = model_.blame().roastEntry();
    if (!entry) {
        model_.showMomentary(FaceState::sideEye, 3.0);
        model_.announce(nobodyText, model_.styled(face(FaceState::sideEye, model_.state())), 4.0);
        return;
    }
    const Date date = clock_.now();
    auto* card = new RoastCardWidget(cardData(*entry, date));
    const Calendar calendar = clock_.calendar();
    // Heat, load and voice follow the model while the window is open; the application does not.
    auto refresh = [this, card, entry = *entry, date] { card->setData(cardData(entry, date)); };
    QObject::connect(&model_, &AppModel::stateChanged, card, refresh);
    QObject::connect(&model_, &AppModel::cpuLoadChanged, card, refresh);
    QObject::connect(&model_.settings(), &SettingsStore::personalityChanged, card, refresh);
    auto exportCard = [this, entry = *entry, date, calendar] {
        const RoastCardData data = cardData(entry, date);
        return CardWindowView::writeCard(
            [data](QPainter& painter, QSizeF size) { RoastCard::paint(painter, size, data); },
            fileName(date, calendar));
    };
    window_.show(new CardWindowView(card, exportCard, *chooser_));
}

} // namespace halvrick
