#include "packed_date.h"

namespace protocol {

std::uint16_t PackDate(int year, int month, int day) {
    return static_cast<std::uint16_t>(YearInCentury(year) | (month & 0x0F) << 7 |
                                      (day & 0x1F) << 11);
}

std::optional<CivilDateTime> UnpackDate(std::uint16_t word, int currentYear) {
    int yearInCentury = word & 0x7F;
    int month = (word >> 7) & 0x0F;
    int day = (word >> 11) & 0x1F;
    if (yearInCentury > 99 || month < 1 || month > 12 || day < 1) return std::nullopt;
    int year = 2000 + yearInCentury;
    while (currentYear - year >= 100) year += 100;
    if (day > DaysInMonth(year, month)) {
        // Only 29..31 can overflow, and December has 31 days, so the
        // next month is in the same year.
        ++month;
        day = 1;
    }
    return CivilDateTime{year, month, day, 0, 0, 0};
}

std::uint16_t PackTimeWord(int hour, int minute, std::uint8_t status) {
    return static_cast<std::uint16_t>((minute & 0x3F) << 10 | (hour & 0x1F) << 5 | (status & 0x1F));
}

TimeWord UnpackTimeWord(std::uint16_t word) {
    return {(word >> 5) & 0x1F, (word >> 10) & 0x3F, static_cast<std::uint8_t>(word & 0x1F)};
}

std::uint16_t WithTime(std::uint16_t word, int hour, int minute) {
    return PackTimeWord(hour, minute, static_cast<std::uint8_t>(word & 0x1F));
}

}  // namespace protocol
