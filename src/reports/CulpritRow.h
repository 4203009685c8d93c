#pragma once

#include "core/AppKey.h"

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;

namespace halvrick {

class ElidedLabel;

// One ranked application of a history list: rank, icon, the name shortened in the middle, an optional
// caption under it, and its time at the right. Names are shown as plain text.
class CulpritRow : public QWidget {
public:
    static constexpr int iconSize = 22;
    // An application's icon at `pixels` square pixels.
    using IconSource = std::function<QImage(const AppKey& key, int pixels)>;

    explicit CulpritRow(IconSource icons, QWidget* parent = nullptr);

    // `caption` empty hides the second line.
    void set(int rank, const AppKey& key, const QString& caption, const QString& duration);

    QString rank() const;
    const QString& name() const;
    QString caption() const;
    QString duration() const;
    const AppKey& key() const { return key_; }

private:
    IconSource icons_;
    AppKey key_;
    QLabel* rank_;
    QLabel* icon_;
    ElidedLabel* name_;
    QLabel* caption_;
    QLabel* duration_;
};

} // namespace halvrick
