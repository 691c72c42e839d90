#pragma once

#include <cstdint>
#include <optional>

#include "civil_time.h"

namespace protocol {

// The 16-bit date word of user-group PIN dates, handheld lock records and
// audit entries: bits 0-6 year within the century, 7-10 month, 11-15 day.
std::uint16_t PackDate(int year, int month, int day);
inline std::uint16_t PackDate(const CivilDateTime& date) {
    return PackDate(date.year, date.month, date.day);
}

// The calendar date of a date word (time fields 0). The year is 2000 plus
// the stored value, moved on by whole centuries while it lies 100 or more
// years before `currentYear`. A day the month lacks (31 April) gives the
// first of the next month. nullopt when the word holds no date (month
// outside 1..12, day 0, year value above 99).
std::optional<CivilDateTime> UnpackDate(std::uint16_t word, int currentYear);

// The time word beside a date word: bits 5-9 hour, 10-15 minute; bits 0-4
// carry status bits that are not part of the time.
struct TimeWord {
    int hour = 0;
    int minute = 0;
    std::uint8_t status = 0;
};
std::uint16_t PackTimeWord(int hour, int minute, std::uint8_t status = 0);
TimeWord UnpackTimeWord(std::uint16_t word);
// Replaces the time of a word and keeps its status bits.
std::uint16_t WithTime(std::uint16_t word, int hour, int minute);

}  // namespace protocol
