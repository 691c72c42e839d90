#include "logon_info.h"

namespace protocol {
namespace {

std::uint8_t TwoDigitYear(int year) {
    return static_cast<std::uint8_t>(YearInCentury(year));
}

}  // namespace

int clsLogonInfo::LockYear(int offset) const {
    int year = 2000 + offset;
    return year > logonDate_.year ? year - 100 : year;
}

LogonParseResult clsLogonInfo::Parse(ByteView MsgData) {
    if (MsgData.size() < kLogonReplyBytes) return LOGON_PARSE_TOO_SHORT;
    statusCode_ = MsgData[0];
    batteryLevel_ = ReadBigEndian16(MsgData, 1);
    hardwareClass_ = ReadBigEndian16(MsgData, 3);
    release_ = MsgData[5];
    revision_ = MsgData[6];
    driveCount_ = ReadBigEndian32(MsgData, 7);
    cardCount_ = ReadBigEndian32(MsgData, 11);
    std::uint16_t date = ReadBigEndian16(MsgData, 15);
    lockDate_ = {LockYear(date & 0x7F), (date >> 7) & 0x0F, date >> 11,
                 MsgData[17],           MsgData[18],        0};
    return LOGON_PARSE_OK;
}

Bytes clsLogonInfo::Build(ByteView Response) const {
    if (Response.size() < 3) return {};
    const CivilDateTime& d = logonDate_;
    return {Response[0],
            Response[1],
            Response[2],
            TwoDigitYear(d.year),
            static_cast<std::uint8_t>(d.month),
            static_cast<std::uint8_t>(d.day),
            static_cast<std::uint8_t>(d.hour),
            static_cast<std::uint8_t>(d.minute),
            static_cast<std::uint8_t>(d.second)};
}

LogonParseResult clsLogonInfo::ParseTime(ByteView MsgData) {
    if (MsgData.size() < kClockReplyBytes) return LOGON_PARSE_TOO_SHORT;
    lockDate_ = {
        LockYear(MsgData[0] & 0x7F), MsgData[1], MsgData[2], MsgData[3], MsgData[4], MsgData[5]};
    return LOGON_PARSE_OK;
}

Bytes BuildClockData(const CivilDateTime& now) {
    return {TwoDigitYear(now.year),
            static_cast<std::uint8_t>(now.month),
            static_cast<std::uint8_t>(now.day),
            static_cast<std::uint8_t>(now.hour),
            static_cast<std::uint8_t>(now.minute),
            static_cast<std::uint8_t>(now.second)};
}

}  // namespace protocol
