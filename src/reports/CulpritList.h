#pragma once

#include "core/AppKey.h"
#include "reports/CulpritRow.h"

#include <QString>
#include <QWidget>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace halvrick {

// A titled list of ranked applications, or a line saying there are none; rows are kept and updated in
// place as the list changes.
class CulpritList : public QWidget {
public:
    struct Row {
        AppKey key;
        QString caption;
        QString duration;
    };

    // `note`: a caption beside the title (`noteBesideTitle`) or under it; empty for none.
    CulpritList(const QString& title, const QString& note, bool noteBesideTitle, const QString& emptyText,
                CulpritRow::IconSource icons, QWidget* parent = nullptr);

    // `lead`: a sentence above the rows, shown only with rows; empty for none.
    void set(const std::vector<Row>& rows, const QString& lead = {});

    int visibleRows() const;
    const CulpritRow& row(int index) const { return *rows_.at(static_cast<std::size_t>(index)); }
    bool showsEmptyText() const;
    QString lead() const;

private:
    CulpritRow::IconSource icons_;
    QVBoxLayout* rowsLayout_;
    QLabel* lead_;
    QLabel* empty_;
    std::vector<CulpritRow*> rows_;
};

} // namespace halvrick
