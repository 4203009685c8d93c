#include "menubar/BlameList.h"

#include "menubar/BlameRows.h"
#include "model/BlameModel.h"

#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

BlameList::BlameList(BlameModel& blame, AppDirectory& apps, QWidget* parent)
    : QWidget(parent), blame_(blame), apps_(apps) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    systemParts_ = new SystemPartsView(this);
    systemParts_->hide();
}

void BlameList::refreshFigures() {
    const std::vector<AppShare>& top = blame_.topApps();
    const std::optional<AppShare>& culprit = blame_.culprit();
    for (const auto& [key, row] : rows_) {
        const auto listed =
            std::find_if(top.begin(), top.end(), [&key = key](const AppShare& s) { return s.app == key; });
        const AppShare entry = listed == top.end() ? row->entry() : *listed;
        row->refresh(entry, culprit && culprit->app == key, blame_.confirmingQuit() == key,
                     blame_.isLeaving(key));
    }
    if (!systemParts_->isHidden()) {
        systemParts_->updateShares(blame_.systemParts());
    }
}

bool BlameList::refresh(ThermalLevel thermal) {
    const std::vector<AppShare>& top = blame_.topApps();
    const std::optional<AppShare>& culprit = blame_.culprit();

    bool moved = false;
    // Rows of keys that left the list go; the others stay as they are, so hover and focus survive.
    for (auto it = rows_.begin(); it != rows_.end();) {
        const bool listed =
            std::any_of(top.begin(), top.end(), [&](const AppShare& s) { return s.app == it->first; });
        if (listed) {
            ++it;
        } else {
            delete it->second;
            it = rows_.erase(it);
            moved = true;
        }
    }
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->removeWidget(systemParts_);
    int position = 0;
    bool partsShown = false;
    for (const AppShare& entry : top) {
        BlameRow*& row = rows_[entry.app];
        if (!row) {
            moved = true;
            row = new BlameRow(entry.app, apps_, this);
            row->onIgnore = [this](const AppKey& key) {
                if (onIgnore) {
                    onIgnore(key);
                }
            };
            row->onQuit = [this](const AppKey& key) { blame_.askToQuit(key); };
            row->onCancel = [this] { blame_.setConfirmingQuit(std::nullopt); };
            row->onConfirm = [this] { blame_.confirmQuit(); };
        }
        row->refresh(entry, culprit && culprit->app == entry.app, blame_.confirmingQuit() == entry.app,
                     blame_.isLeaving(entry.app));
        if (column->indexOf(row) != position) {
            column->removeWidget(row);
            column->insertWidget(position, row);
            moved = true;
        }
        row->show();
        ++position;
        if (entry.app.kind == AppKey::Kind::system && !blame_.systemParts().empty()) {
            column->insertWidget(position++, systemParts_);
            systemParts_->refresh(blame_.systemParts(), thermal);
            partsShown = true;
        }
    }
    systemParts_->setVisible(partsShown);
    setVisible(!top.empty());
    return moved;
}

std::vector<AppKey> BlameList::rowOrder() const {
    std::vector<AppKey> order;
    const QLayout* column = layout();
    for (int i = 0; i < column->count(); ++i) {
        if (const auto* row = qobject_cast<const BlameRow*>(column->itemAt(i)->widget())) {
            order.push_back(row->key());
        }
    }
    return order;
}

} // namespace halvrick
