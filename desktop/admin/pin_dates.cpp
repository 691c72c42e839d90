#include "desktop/admin/pin_dates.h"

#include "protocol/packed_date.h"

namespace tandrel {
namespace {

struct Fields {
    int year, month, day;
};

Fields Split(std::uint16_t packed) {
    return {packed & 0x7F, (packed >> 7) & 0x0F, (packed >> 11) & 0x1F};
}

std::uint16_t Join(const Fields& f) {
    return static_cast<std::uint16_t>((f.year & 0x7F) | (f.month & 0x0F) << 7 |
                                      (f.day & 0x1F) << 11);
}

int MonthLength(int month, int twoDigitYear) {
    switch (month) {
        case 2: return twoDigitYear % 4 == 0 ? 29 : 28;
        case 4:
        case 6:
        case 9:
        case 11: return 30;
        default: return 31;
    }
}

void NextMonth(Fields& f) {
    if (++f.month > 12) {
        f.month = 1;
        f.year = (f.year + 1) % 100;
    }
}

}  // namespace

int PackedDateOrdinal(std::uint16_t packed) {
    Fields f = Split(packed);
    int yearIndex = f.year == 99 ? 99 : f.year + 100;
    return yearIndex * 511 + f.month * 31 + f.day;
}

std::uint16_t AddInterval(std::uint16_t packed, int interval, IntervalUnit unit) {
    Fields f = Split(packed);
    if (unit == IntervalUnit::Months) {
        for (int i = 0; i < interval; ++i) NextMonth(f);
        return Join(f);
    }
    int length = MonthLength(f.month, f.year);
    if (f.day + interval > length) {
        f.day = f.day + interval - length;
        NextMonth(f);
    } else {
        f.day += interval;
    }
    return Join(f);
}

std::optional<std::uint16_t> NextPinDate(std::uint16_t start, int interval, IntervalUnit unit,
                                         const QDate& today) {
    if (interval < 1) return std::nullopt;
    const int now = PackedDateOrdinal(PackQDate(today));
    std::uint16_t date = start;
    // The ordinal grows with every step, so the walk ends; a bound keeps a
    // damaged start from running long.
    for (int steps = 0; steps < 100000; ++steps) {
        if (PackedDateOrdinal(date) > now) return date;
        date = AddInterval(date, interval, unit);
    }
    return std::nullopt;
}

std::uint16_t PackQDate(const QDate& date) {
    return protocol::PackDate(date.year(), date.month(), date.day());
}

QDate UnpackToQDate(std::uint16_t packed, const QDate& today) {
    auto date = protocol::UnpackDate(packed, today.year());
    return date ? QDate(date->year, date->month, date->day) : QDate();
}

}  // namespace tandrel
