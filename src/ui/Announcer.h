#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace halvrick {

// Says a short text to the user of a screen reader, without moving focus.
class Announcer {
public:
    virtual ~Announcer() = default;
    virtual void announce(const QString& text) = 0;
};

// Posts an accessibility alert from a widget. Qt has no announcement of its own, so the text goes into
// the widget's accessible description and an Alert event asks assistive tools to read it; whether it is
// spoken is up to them. The last text is kept.
class AccessibleAnnouncer : public Announcer {
public:
    explicit AccessibleAnnouncer(QWidget& widget);

    void announce(const QString& text) override;
    const QString& lastAnnouncement() const { return last_; }

private:
    QPointer<QWidget> widget_;
    QString last_;
};

} // namespace halvrick
