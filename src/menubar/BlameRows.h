#pragma once

#include "core/AppKey.h"
#include "core/AppShare.h"
#include "core/SystemBreakdown.h"
#include "core/ThermalLevel.h"
#include "model/IgnoredApp.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QVBoxLayout;

namespace halvrick {

class AppDirectory;

// One blamed application: icon, name (semibold for the culprit), its note, its share and the actions
// its kind allows. Kept for as long as its key is listed; refresh() updates it in place.
class BlameRow : public QWidget {
    Q_OBJECT

public:
    BlameRow(const AppKey& key, AppDirectory& apps, QWidget* parent = nullptr);

    // `confirming`: the row asks whether to quit its application instead of showing its share.
    // `leaving`: asked to quit, or found gone; the row is greyed and offers no second quit.
    void refresh(const AppShare& entry, bool isCulprit, bool confirming, bool leaving);

    // "Quit": applications only; asks first.
    std::function<void(const AppKey& key)> onQuit;
    // "Ignore": applications and processes only.
    std::function<void(const AppKey& key)> onIgnore;
    // The confirmation's "Cancel" (also Return) and "Quit <name>".
    std::function<void()> onCancel;
    std::function<void()> onConfirm;

    const AppKey& key() const { return key_; }
    // What the row shows now.
    const AppShare& entry() const { return entry_; }
    QToolButton* ignoreButton() const { return ignore_; }
    QToolButton* quitButton() const { return quit_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* confirmButton() const { return confirm_; }
    bool isConfirming() const { return stack_->currentIndex() == 1; }
    bool isLeaving() const { return !stack_->widget(0)->isEnabled(); }
    const QLabel& nameLabel() const { return *name_; }
    const QLabel& shareLabel() const { return *share_; }
    bool hasNote() const { return !note_->isHidden(); }

private:
    AppKey key_;
    AppShare entry_;
    QStackedWidget* stack_;
    QLabel* name_;
    QLabel* note_;
    QLabel* share_;
    QToolButton* ignore_ = nullptr;
    QToolButton* quit_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* confirm_ = nullptr;
};

// The operating system's own busy parts, indented under the system row.
class SystemPartsView : public QWidget {
    Q_OBJECT

public:
    explicit SystemPartsView(QWidget* parent = nullptr);
    void refresh(const std::vector<SystemPart>& parts, ThermalLevel thermal);
    // Only the figures of the parts on show: no part comes, goes or moves.
    void updateShares(const std::vector<SystemPart>& parts);
    int rowCount() const { return static_cast<int>(rows_.size()); }

private:
    struct Row {
        QWidget* widget;
        std::string partName;
        QLabel* name;
        QLabel* share;
        QLabel* note;
    };
    QVBoxLayout* layout_;
    std::vector<Row> rows_;
};

// The applications the user ignored, in a collapsible list; each can be shown again.
class IgnoredAppsView : public QWidget {
    Q_OBJECT

public:
    explicit IgnoredAppsView(QWidget* parent = nullptr);

    // In the order IgnoredApp::list gives.
    void refresh(const std::vector<IgnoredApp>& apps);

    std::function<void(const std::string& id)> onShowAgain;
    std::function<void()> onShowAllAgain;

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    QString header() const;
    const std::vector<IgnoredApp>& apps() const { return apps_; }
    QPushButton* showAllButton() const { return showAll_; }

private:
    QToolButton* toggle_;
    QWidget* body_;
    QVBoxLayout* rows_;
    QPushButton* showAll_;
    std::vector<IgnoredApp> apps_;
    bool expanded_ = false;
};

} // namespace halvrick
