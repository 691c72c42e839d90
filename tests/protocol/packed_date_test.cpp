#include <gtest/gtest.h>

#include "protocol/packed_date.h"

namespace protocol {
namespace {

CivilDateTime Date(int y, int m, int d) {
    return {y, m, d, 0, 0, 0};
}

TEST(PackedDate, Layout) {
    // day 11-15, month 7-10, year in century 0-6
    EXPECT_EQ(PackDate(2026, 12, 8), 8 * 2048 + 12 * 128 + 26);
    EXPECT_EQ(PackDate(1999, 1, 31), 31 * 2048 + 1 * 128 + 99);
    EXPECT_EQ(PackDate(2100, 2, 1), 2048 + 256);
}

TEST(PackedDate, RoundTripsEveryDayOfTheCentury) {
    for (int year = 2000; year < 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                ASSERT_EQ(UnpackDate(PackDate(year, month, day), 2026), Date(year, month, day));
            }
        }
    }
}

TEST(PackedDate, CenturyMovesOnOnlyWhenTheDateLies100YearsBack) {
    std::uint16_t ninetyNine = PackDate(2099, 6, 1);
    EXPECT_EQ(UnpackDate(ninetyNine, 2026)->year, 2099);
    EXPECT_EQ(UnpackDate(ninetyNine, 2198)->year, 2099);
    EXPECT_EQ(UnpackDate(ninetyNine, 2199)->year, 2199);
    EXPECT_EQ(UnpackDate(PackDate(2005, 6, 1), 2210)->year, 2205);
    EXPECT_EQ(UnpackDate(PackDate(2005, 6, 1), 2305)->year, 2305);
}

TEST(PackedDate, DayTheMonthLacksBecomesTheFirstOfTheNext) {
    EXPECT_EQ(UnpackDate(PackDate(2026, 4, 31), 2026), Date(2026, 5, 1));
    EXPECT_EQ(UnpackDate(PackDate(2026, 2, 29), 2026), Date(2026, 3, 1));
    EXPECT_EQ(UnpackDate(PackDate(2028, 2, 29), 2026), Date(2028, 2, 29));
    EXPECT_EQ(UnpackDate(PackDate(2028, 2, 30), 2026), Date(2028, 3, 1));
    EXPECT_EQ(UnpackDate(PackDate(2026, 12, 31), 2026), Date(2026, 12, 31));
}

TEST(PackedDate, WordsThatHoldNoDate) {
    EXPECT_FALSE(UnpackDate(0, 2026));                         // month 0, day 0
    EXPECT_FALSE(UnpackDate(PackDate(2026, 13, 1), 2026));     // month 13
    EXPECT_FALSE(UnpackDate(PackDate(2026, 5, 0), 2026));      // day 0
    EXPECT_FALSE(UnpackDate(1 * 2048 + 1 * 128 + 100, 2026));  // year value 100
    EXPECT_FALSE(UnpackDate(0xFFFF, 2026));
}

TEST(TimeWord, LayoutKeepsStatusBits) {
    std::uint16_t word = PackTimeWord(23, 59, 1);
    EXPECT_EQ(word, 59 * 1024 + 23 * 32 + 1);
    TimeWord t = UnpackTimeWord(word);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.status, 1);
    std::uint16_t moved = WithTime(PackTimeWord(8, 30, 0x15), 17, 5);
    EXPECT_EQ(UnpackTimeWord(moved).status, 0x15);
    EXPECT_EQ(UnpackTimeWord(moved).hour, 17);
    EXPECT_EQ(UnpackTimeWord(moved).minute, 5);
}

}  // namespace
}  // namespace protocol
