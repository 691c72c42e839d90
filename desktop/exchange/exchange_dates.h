#pragma once

#include <QDateTime>

#include <cstdint>
#include <optional>

namespace tandrel {

// The moment a date word and time word give (seconds 0), with the century
// taken from `currentYear`; nullopt when they hold no real date or time.
std::optional<QDateTime> DateFromWords(std::uint16_t dateWord, std::uint16_t timeWord,
                                       int currentYear);

// A moment as a date word and a time word with zero status bits; both 0 for
// an empty date.
struct DateWords {
    std::uint16_t date = 0;
    std::uint16_t time = 0;
};
DateWords WordsFromDate(const QDateTime& moment);

}  // namespace tandrel
