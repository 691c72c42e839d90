#pragma once

#include <QDate>

#include <cstdint>
#include <optional>

namespace tandrel {

// Date arithmetic of the user groups' automatic PIN recoding, on packed
// dates (bits 0-6 two-digit year, 7-10 month, 11-15 day).

enum class IntervalUnit { Days = 0, Months = 1 };

// The order of packed dates: year index x 511 + month x 31 + day, where the
// year index is the two-digit year + 100, except 99, which stays 99 (so 1999
// sorts before 2000 to 2098).
int PackedDateOrdinal(std::uint16_t packed);

// One interval later. Months keep the day (a day the month lacks is read as
// the first of the next month); days carry into the next month by its length
// (February has 29 days when the two-digit year is divisible by 4) and past
// December into January of the next year (99 rolls over to 0).
std::uint16_t AddInterval(std::uint16_t packed, int interval, IntervalUnit unit);

// The next PIN date: the first member of start, start + n, start + 2n, ...
// whose ordinal is greater than today's. nullopt for an interval below 1.
std::optional<std::uint16_t> NextPinDate(std::uint16_t start, int interval, IntervalUnit unit,
                                         const QDate& today);

std::uint16_t PackQDate(const QDate& date);
// The calendar date of a packed date seen from `today` (invalid QDate when
// the word holds no date).
QDate UnpackToQDate(std::uint16_t packed, const QDate& today);

}  // namespace tandrel
