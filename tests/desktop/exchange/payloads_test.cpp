#include <gtest/gtest.h>

#include "desktop/exchange/lock_payloads.h"
#include "desktop/exchange/schedule_compile.h"
#include "protocol/hex.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

using protocol::ToHex;

TEST(FacilityPayload, EveryByteFromTheProperties) {
    FacilityData f;
    f.commCode = 0x0976;
    f.idCodeLength = 4;
    f.pinLength = 3;
    f.dstAheadMonth = 2;  // March
    f.dstBackMonth = 10;  // November
    f.dstAheadDay = 2;    // second week
    f.dstBackDay = 0;     // first week
    f.facilityCode = "123";
    f.cardFacilityPosIsField = 1;
    f.cardFacilityPosition = 5;
    f.cardIDPosIsField = 0;
    f.cardIDPosition = 7;
    f.cardTrack = 2;
    f.cardIssueIsField = 2;
    f.cardExpireIsField = 0;
    f.cardExpirePosition = 9;
    f.cardExpireThru = 0;
    f.cardExpireFormat = 3;
    EXPECT_EQ(ToHex(FacilityPayload(f)),
              "09 76 34 B3 F8 FF 31 32 33 00 00 00 00 00 00 00 03 85 07 46 00 49 86 80 82");
}

TEST(FacilityPayload, UnsetDaylightSavingAndTenDigitCodes) {
    FacilityData f;
    f.facilityCode = "0123456789";
    f.cardTrack = 0;
    f.cardExpireThru = 1;
    f.cardExpireFormat = 14;  // no such format: no meaning, zeros
    protocol::Bytes p = FacilityPayload(f);
    EXPECT_EQ(ToHex(protocol::Bytes(p.begin() + 3, p.begin() + 6)), "00 00 00");
    EXPECT_EQ(ToHex(protocol::Bytes(p.begin() + 6, p.begin() + 17)),
              "30 31 32 33 34 35 36 37 38 39 0A");
    EXPECT_EQ(p[19], 0x1A);
    EXPECT_EQ(p[21], 0x01);
    EXPECT_EQ(ToHex(protocol::Bytes(p.begin() + 22, p.end())), "00 00 00");
}

TEST(FacilityPayload, DaylightSavingDayCodes) {
    EXPECT_EQ(DstDayCode(0, 3), 0xFF);
    EXPECT_EQ(DstDayCode(2, 3), 0xF8);
    EXPECT_EQ(DstDayCode(3, 3), 0xF1);
    EXPECT_EQ(DstDayCode(4, 3), 0xEA);
    // The last week: the month's length less six, February as 28 days.
    EXPECT_EQ(DstDayCode(1, 0), 0xE7);
    EXPECT_EQ(DstDayCode(1, 1), 0xEA);
    EXPECT_EQ(DstDayCode(1, 3), 0xE8);
    EXPECT_EQ(DstDayCode(1, 14), 0xE7);
    EXPECT_EQ(DstDayCode(255, 3), 0x00);
    EXPECT_EQ(DstDayCode(5, 3), 0x00);
}

TEST(UserPayload, PackedIdTypeGroupsAndPin) {
    LockUserData u;
    u.slot = 0x0105;
    u.idCode = "12345";     // an odd number of digits ends in 0xF
    u.userTypeByte = 0x43;  // Programmer with rights 3
    u.cardIssueNumber = "7";
    u.homeGroup = 2;
    u.groupMask = 0x05;
    u.currentPin = "";  // no PIN: FF FF FF
    EXPECT_EQ(ToHex(WriteUserPayload(u)), "01 05 12 34 5F FF FF FF FF FF FF FE 74 03 FF FF FF");
    u.userTypeByte = 0;  // General, by card
    u.cardMedia = true;
    u.currentPin = "4321";
    EXPECT_EQ(ToHex(WriteUserPayload(u)), "01 05 12 34 5F FF FF FF FF FF FF F3 74 05 43 21 FF");
    u.userTypeByte = 0x60;  // Service: groups from home group and mask
    u.cardMedia = false;
    EXPECT_EQ(WriteUserPayload(u)[11], 0xF6);
    EXPECT_EQ(WriteUserPayload(u)[13], 0x05);
}

TEST(UserPayload, TheDeliveredTypeReadsBack) {
    LockUserData u;
    for (int byte : {0x00, 0x25, 0x4F, 0x60}) {
        u.userTypeByte = byte;
        for (bool card : {false, true}) {
            u.cardMedia = card;
            EXPECT_EQ(DeliveredUserType(WriteUserPayload(u)), byte) << byte;
        }
    }
    EXPECT_EQ(DeliveredUserType({1, 2}), -1);
}

TEST(OtherPayloads, SmallCommands) {
    EXPECT_EQ(ToHex(AddressPayload(0x1234)), "12 34");
    EXPECT_EQ(ToHex(OpenDelayPayload(3)), "03");
    EXPECT_EQ(ToHex(DeleteUsersPayload(0, 1999)), "00 00 07 CF");
    EXPECT_EQ(ToHex(PinTablePayload(3, 7, 0, true, 0x461A)), "03 1D 46 1A");
    EXPECT_EQ(ToHex(PinTablePayload(0, 12, 1, false, 0x0001)), "00 32 00 01");
    EXPECT_EQ(ToHex(AuditAllPayload()), "00");
    EXPECT_EQ(ToHex(AuditCountPayload(0x01020304)), "01 02 03 04");
}

// Events as the schedule editor stores them.
ScheduleEventRow Level(int day, int hour, int minute, int level, bool pin = false,
                       bool noOverride = false) {
    return {0, static_cast<std::uint32_t>(hour | minute << 5 | level << 11 | (pin ? 1 << 14 : 0) |
                                          (noOverride ? 1 << 15 : 0) | day << 16)};
}
ScheduleEventRow Group(int day, int hour, int minute, int group, bool on) {
    return {1, static_cast<std::uint32_t>(day | hour << 3 | minute << 8 | (on ? 1 << 14 : 0) |
                                          group << 16)};
}

TEST(ScheduleCompile, ALevelEventBecomesAnEntrySettingTheLevel) {
    // Monday 08:00, Unlock with ID, PIN required, override allowed.
    CompiledSchedule table = CompileSchedule({Level(0, 8, 0, 1, true)});
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.begin()->first, 0x020800u);     // Monday is bit 1
    EXPECT_EQ(table.begin()->second, 0x00E100FFu);  // index 0, sets level, all groups on
    EXPECT_EQ(ToHex(ScheduleEntryPayload(table.begin()->first, table.begin()->second)),
              "00 82 C8 08 00 FF");
    EXPECT_TRUE(CompileSchedule({}).empty());
    EXPECT_EQ(ToHex(ScheduleEndPayload(0)), "00 00 00 00 00 00");
    EXPECT_EQ(ToHex(ScheduleEndPayload(5)), "05 00 00 00 00 00");
}

TEST(ScheduleCompile, ALevelAndAGroupEventAtOneMinuteShareAnEntry) {
    CompiledSchedule table = CompileSchedule({Level(0, 8, 0, 1), Group(0, 8, 0, 1, false)});
    ASSERT_EQ(table.size(), 1u);
    // Level 1 with override allowed (0x41) setting the level; group 2 switched off.
    EXPECT_EQ(table.begin()->second, 0x00C102FDu);
}

TEST(ScheduleCompile, EqualDaysMergeIntoOneEntry) {
    CompiledSchedule table = CompileSchedule(
        {Level(0, 8, 0, 1), Level(1, 8, 0, 1), Level(0, 17, 0, 2), Level(1, 17, 0, 2)});
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.count(0x060800u), 1u);  // Monday and Tuesday at 08:00
    EXPECT_EQ(table.count(0x061100u), 1u);
    EXPECT_EQ(table[0x060800u] >> 24, 0u);  // numbered in time order
    EXPECT_EQ(table[0x061100u] >> 24, 1u);
}

TEST(ScheduleCompile, TheWeekWrapsItsGroupStates) {
    // Sunday 12:00 group 2 on, Monday 08:00 group 1 on, Saturday 22:00 group 1 off:
    // Sunday starts from Saturday's states, with group 1 off.
    CompiledSchedule table = CompileSchedule(
        {Group(6, 12, 0, 1, true), Group(0, 8, 0, 0, true), Group(5, 22, 0, 0, false)});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0x010C00u] & 0xFF, 0xFEu);
    EXPECT_EQ(table[0x020800u] & 0xFF, 0xFFu);
    EXPECT_EQ(table[0x401600u] & 0xFF, 0xFEu);
    // Group-only entries keep the running level without the level mark.
    EXPECT_EQ((table[0x010C00u] >> 16) & 0xFF, 0x42u);
}

TEST(ScheduleCompile, GroupOnlyEntriesStayGroupOnlyAroundTheWeek) {
    // A level set on Tuesday carries round to Monday's group switch, which
    // must not turn into an entry that sets the level itself.
    CompiledSchedule table = CompileSchedule({Level(1, 9, 0, 4), Group(0, 7, 0, 3, true)});
    ASSERT_EQ(table.size(), 2u);
    const std::uint32_t monday = table[0x020700u];
    EXPECT_EQ((monday >> 16) & 0xFF, 0x44u);  // level 4 in force, not marked as setting it
    EXPECT_EQ(ToHex(ScheduleEntryPayload(0x020700u, monday)).substr(0, 5), "00 02");
}

TEST(HolidayPayload, LevelAndDailyScheduleHolidays) {
    LockHoliday h;
    h.start = QDateTime(QDate(2000, 12, 24), QTime(18, 30));
    h.end = QDateTime(QDate(2000, 12, 26), QTime(6, 15));
    h.level = 0x21;  // Unlock with ID, PIN required
    h.groupMask = 0x0F;
    EXPECT_EQ(ToHex(HolidayPayload(0, h)), "00 7B 19 3F 58 C4 D2 0F");
    // A holiday running Sunday's daily schedule: end bit 0 set, the lock's day 0.
    h.useSchedule = true;
    h.schedule = 6;
    protocol::Bytes daily = HolidayPayload(2, h);
    EXPECT_EQ(daily[0], 2);
    EXPECT_EQ(daily[4] & 1, 1);
    EXPECT_EQ(((daily[5] << 8 | daily[6]) >> 10) & 0x1F, 0);
    EXPECT_EQ(ToHex(HolidayEndPayload(3)), "03 00 00 00 00 00 00 00");
}

}  // namespace
}  // namespace tandrel::testing
