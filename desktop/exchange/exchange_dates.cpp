#include "desktop/exchange/exchange_dates.h"

#include "protocol/packed_date.h"

namespace tandrel {

std::optional<QDateTime> DateFromWords(std::uint16_t dateWord, std::uint16_t timeWord,
                                       int currentYear) {
    const std::optional<protocol::CivilDateTime> day = protocol::UnpackDate(dateWord, currentYear);
    if (!day) return std::nullopt;
    const protocol::TimeWord time = protocol::UnpackTimeWord(timeWord);
    const QDate date(day->year, day->month, day->day);
    const QTime clock(time.hour, time.minute);
    if (!date.isValid() || !clock.isValid()) return std::nullopt;
    return QDateTime(date, clock);
}

DateWords WordsFromDate(const QDateTime& moment) {
    if (!moment.isValid()) return {};
    const QDate date = moment.date();
    const QTime time = moment.time();
    return {protocol::PackDate(date.year(), date.month(), date.day()),
            protocol::PackTimeWord(time.hour(), time.minute())};
}

}  // namespace tandrel
