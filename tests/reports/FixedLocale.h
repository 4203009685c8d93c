#pragma once

#include <QLocale>
#include <QString>

namespace halvrick {

// The application's locale set to `name` while the value lives, so dates read the same on every machine.
class FixedLocale {
public:
    explicit FixedLocale(const char* name) { QLocale::setDefault(QLocale(QString::fromLatin1(name))); }
    ~FixedLocale() { QLocale::setDefault(saved_); }
    FixedLocale(const FixedLocale&) = delete;
    FixedLocale& operator=(const FixedLocale&) = delete;

private:
    QLocale saved_;
};

} // namespace halvrick
