#pragma once

#include <compare>

namespace protocol {

// A wall-clock moment as the locks and the handheld records carry it:
// calendar fields only, no time zone. Fields are kept as received, so a
// value read off the wire can be written back unchanged even when a lock
// reports something that is not a real date.
struct CivilDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const CivilDateTime&) const = default;
};

bool IsLeapYear(int year);
// Days in the month of the given year (0 for a month outside 1..12).
int DaysInMonth(int year, int month);
// The two-digit year the locks keep (1999 -> 99, 2026 -> 26).
inline int YearInCentury(int year) {
    return ((year % 100) + 100) % 100;
}
// The PC clock in local time.
CivilDateTime LocalNow();

}  // namespace protocol
