#include <gtest/gtest.h>

#include "protocol/diag_info.h"
#include "protocol/hex.h"
#include "protocol/logon_info.h"

namespace protocol {
namespace {

Bytes Hex(std::string_view text) {
    return ParseHex(text).value();
}

// A Logon reply: status 2, battery 0x1770, class 0x0102, release 3,
// revision 4, drives 0x01020304, cards 0xA0B0C0D0, then date and time.
Bytes LogonReply(std::uint16_t dateWord, std::uint8_t hour, std::uint8_t minute) {
    Bytes reply = Hex("02 17 70 01 02 03 04 01 02 03 04 A0 B0 C0 D0");
    reply.push_back(static_cast<std::uint8_t>(dateWord >> 8));
    reply.push_back(static_cast<std::uint8_t>(dateWord));
    reply.push_back(hour);
    reply.push_back(minute);
    return reply;
}

std::uint16_t DateWord(int offset, int month, int day) {
    return static_cast<std::uint16_t>(day << 11 | month << 7 | offset);
}

TEST(LogonInfo, ParsesTheLogonReply) {
    clsLogonInfo info({2026, 12, 8, 10, 0, 0});
    info.Parse(LogonReply(DateWord(26, 12, 8), 9, 45));
    EXPECT_EQ(info.StatusCode(), 2);
    EXPECT_EQ(info.BatteryLevel(), 0x1770);
    EXPECT_EQ(info.HardwareClass(), 0x0102);
    EXPECT_EQ(info.Release(), 3);
    EXPECT_EQ(info.Revision(), 4);
    EXPECT_EQ(info.DriveCount(), 0x01020304u);
    EXPECT_EQ(info.CardCount(), 0xA0B0C0D0u);
    EXPECT_EQ(info.LockDate(), (CivilDateTime{2026, 12, 8, 9, 45, 0}));
}

TEST(LogonInfo, YearOffsetsLaterThanTheLogonYearBelongToTheLastCentury) {
    clsLogonInfo in2005({2005, 6, 1, 12, 0, 0});
    in2005.Parse(LogonReply(DateWord(99, 12, 31), 23, 59));
    EXPECT_EQ(in2005.LockDate().year, 1999);
    in2005.Parse(LogonReply(DateWord(5, 1, 1), 0, 0));
    EXPECT_EQ(in2005.LockDate().year, 2005);
    in2005.Parse(LogonReply(DateWord(6, 1, 1), 0, 0));
    EXPECT_EQ(in2005.LockDate().year, 1906);
}

TEST(LogonInfo, ShortPayloadsChangeNothing) {
    clsLogonInfo info({2026, 1, 1, 0, 0, 0});
    Bytes reply = LogonReply(DateWord(26, 1, 2), 3, 4);
    info.Parse(reply);
    CivilDateTime before = info.LockDate();
    Bytes shortReply(reply.begin(), reply.end() - 1);
    shortReply[0] = 9;
    info.Parse(shortReply);
    EXPECT_EQ(info.StatusCode(), 2);
    info.ParseTime(Hex("1A 05 06 07 08"));
    EXPECT_EQ(info.LockDate(), before);
}

TEST(LogonInfo, SaysWhetherTheReplyWasLongEnough) {
    clsLogonInfo info({2026, 1, 1, 0, 0, 0});
    Bytes reply = LogonReply(DateWord(26, 1, 2), 3, 4);
    EXPECT_EQ(info.Parse({}), LOGON_PARSE_TOO_SHORT);
    EXPECT_EQ(info.Parse(ByteView(reply).first(18)), LOGON_PARSE_TOO_SHORT);
    EXPECT_EQ(info.Parse(reply), LOGON_PARSE_OK);
    reply.push_back(0x77);
    EXPECT_EQ(info.Parse(reply), LOGON_PARSE_OK);
    // A clock that is no real date (month 15, day 0, hour 25) is still read.
    EXPECT_EQ(info.Parse(LogonReply(DateWord(26, 15, 0), 25, 61)), LOGON_PARSE_OK);
    EXPECT_EQ(info.LockDate(), (CivilDateTime{2026, 15, 0, 25, 61, 0}));

    EXPECT_EQ(info.ParseTime(Hex("1A 05 06 07 08")), LOGON_PARSE_TOO_SHORT);
    EXPECT_EQ(info.ParseTime(Hex("1A 05 06 07 08 09")), LOGON_PARSE_OK);
}

TEST(LogonInfo, BuildsTheLogonRequestFromTheLogonMoment) {
    clsLogonInfo info({2026, 12, 8, 15, 26, 42});
    EXPECT_EQ(ToHex(info.Build(Hex("8F 8D FF"))), "8F 8D FF 1A 0C 08 0F 1A 2A");
    EXPECT_EQ(info.Build(Hex("8F 8D FF 77")).size(), 9u);
    EXPECT_TRUE(info.Build(Hex("8F 8D")).empty());
}

TEST(LogonInfo, ParseTimeReadsTheClockReply) {
    clsLogonInfo info({2026, 12, 8, 15, 26, 42});
    // The year byte keeps only its low 7 bits.
    info.ParseTime(Hex("9A 0C 08 0F 1B 05"));
    EXPECT_EQ(info.LockDate(), (CivilDateTime{2026, 12, 8, 15, 27, 5}));
    info.ParseTime(Hex("63 0C 1F 17 3B 3B"));
    EXPECT_EQ(info.LockDate(), (CivilDateTime{1999, 12, 31, 23, 59, 59}));
}

TEST(LogonInfo, ClockDataIsTheGivenMoment) {
    EXPECT_EQ(ToHex(BuildClockData({2031, 2, 3, 4, 5, 6})), "1F 02 03 04 05 06");
}

TEST(AccessLevelInfo, ParsesAndBuilds) {
    clsAccessLevelInfo info;
    info.ParseData(Hex("F3 A5"));
    EXPECT_EQ(info.AccessLevel(), LOCK_ACCESS_LEVEL_SYS_ID_REQ);
    EXPECT_TRUE(info.MotorFailure());
    EXPECT_TRUE(info.BatteryFailure());
    EXPECT_TRUE(info.PINRequired());
    EXPECT_TRUE(info.ManagerOverride());
    EXPECT_EQ(info.GroupsEnabled(), 0xA5);
    // The failure bits are never sent.
    EXPECT_EQ(ToHex(info.BuildMessage()), "C3 A5");
    info.SetPINRequired(false);
    info.SetAccessLevel(LOCK_ACCESS_LEVEL_SHUTDOWN);
    EXPECT_EQ(ToHex(info.BuildMessage()), "87 A5");
    info.ClearAll();
    EXPECT_EQ(ToHex(info.BuildMessage()), "00 00");
    EXPECT_FALSE(info.MotorFailure());
}

TEST(AccessLevelInfo, ShortPayloadsChangeNothing) {
    clsAccessLevelInfo info;
    info.ParseData(Hex("42 03"));
    info.ParseData(Hex("F4"));
    info.ParseData({});
    EXPECT_EQ(info.AccessLevel(), LOCK_ACCESS_LEVEL_ID_REQ);
    EXPECT_TRUE(info.PINRequired());
    EXPECT_EQ(info.GroupsEnabled(), 3);
}

TEST(DiagInfo, VersionDriveAndAccessLevel) {
    clsDiagInfo diag;
    diag.ParseData(LOCK_COMMAND_CODE_GET_VERSION, Hex("00 02 03 0A"));
    EXPECT_EQ(diag.HardwareVersion(), 2);
    EXPECT_EQ(diag.FirmwareVersionMajor(), 3);
    EXPECT_EQ(diag.FirmwareVersionMinor(), 10);
    EXPECT_EQ(diag.FirmwareVersion(), 3 * 256 + 10);

    diag.ParseData(LOCK_COMMAND_CODE_GET_DRIVE_STAT, Hex("06 17 70 01 F4 17 0C 01 EF 02"));
    EXPECT_EQ(diag.DriveAcknowledgeCode(), 6);
    EXPECT_EQ(diag.SupplyVoltage(), 6000);
    EXPECT_EQ(diag.MotorCurrent(), 500);
    EXPECT_EQ(diag.MotorVoltage(), 0x170C);
    EXPECT_EQ(diag.DriveStatus(), 1);
    EXPECT_EQ(diag.DriveSamples(), 0x2F);
    EXPECT_TRUE(diag.DriveType());
    EXPECT_TRUE(diag.DriveFailure());
    EXPECT_EQ(diag.DriveJams(), 2);

    diag.ParseData(LOCK_COMMAND_CODE_GET_LEVEL, Hex("44 0F"));
    EXPECT_EQ(diag.AccessLevel(), LOCK_ACCESS_LEVEL_LOCKOUT);
    EXPECT_TRUE(diag.PINRequired());
    EXPECT_EQ(diag.GroupsEnabled(), 0x0F);
}

TEST(DiagInfo, ShortRepliesAndOtherTypesChangeNothing) {
    clsDiagInfo diag;
    diag.ParseData(LOCK_COMMAND_CODE_GET_VERSION, Hex("00 02 03 0A"));
    diag.ParseData(LOCK_COMMAND_CODE_GET_VERSION, Hex("00 05 07"));
    diag.ParseData(LOCK_COMMAND_CODE_GET_DRIVE_STAT, Hex("06 17 70 01 F4 17 0C 01 EF"));
    diag.ParseData(LOCK_COMMAND_CODE_GET_CLOCK, Hex("00 09 09 09 09 09 09 09 09 09"));
    EXPECT_EQ(diag.HardwareVersion(), 2);
    EXPECT_EQ(diag.FirmwareVersion(), 3 * 256 + 10);
    EXPECT_EQ(diag.SupplyVoltage(), 0);
}

}  // namespace
}  // namespace protocol
