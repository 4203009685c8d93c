#pragma once

#include <compare>

namespace halvrick {

// An absolute point in time: seconds since 1970-01-01 00:00:00 UTC, as a double.
class Date {
public:
    // Seconds between 1970-01-01 and 2001-01-01, both UTC: the epoch stored dates are written against.
    static constexpr double referenceOffset = 978307200.0;

    constexpr Date() = default;

    static constexpr Date since1970(double seconds) { return Date(seconds); }
    static constexpr Date sinceReference(double seconds) { return Date(seconds + referenceOffset); }

    constexpr double timeIntervalSince1970() const { return seconds_; }
    constexpr double timeIntervalSinceReferenceDate() const { return seconds_ - referenceOffset; }
    constexpr double timeIntervalSince(Date other) const { return seconds_ - other.seconds_; }

    friend constexpr Date operator+(Date date, double seconds) { return Date(date.seconds_ + seconds); }
    friend constexpr Date operator-(Date date, double seconds) { return Date(date.seconds_ - seconds); }
    friend constexpr double operator-(Date lhs, Date rhs) { return lhs.seconds_ - rhs.seconds_; }
    Date& operator+=(double seconds) {
        seconds_ += seconds;
        return *this;
    }

    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr auto operator<=>(Date, Date) = default;

private:
    constexpr explicit Date(double seconds) : seconds_(seconds) {}
    double seconds_ = 0;
};

} // namespace halvrick
