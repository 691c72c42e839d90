#pragma once

#include <cstdint>

#include "bytes.h"
#include "civil_time.h"

namespace protocol {

// What a reply reader made of a payload.
enum LogonParseResult : int {
    LOGON_PARSE_OK = 0,
    // Shorter than the reply's layout: nothing was read and every field
    // keeps its value. Nothing else is refused: fields are taken as sent,
    // even a lock clock that is not a real date.
    LOGON_PARSE_TOO_SHORT,
};

// The log-on exchange of one session: builds the Logon request and reads
// the Logon and Get clock data replies. The PC clock at creation is the
// log-on moment; it is sent to the lock and decides the century of the
// two-digit years the lock reports.
class clsLogonInfo {
  public:
    static constexpr std::size_t kLogonReplyBytes = 19;
    static constexpr std::size_t kClockReplyBytes = 6;

    clsLogonInfo() : clsLogonInfo(LocalNow()) {}
    explicit clsLogonInfo(const CivilDateTime& logonDate) : logonDate_(logonDate) {}

    // Reads a Logon reply; fewer than kLogonReplyBytes change nothing.
    LogonParseResult Parse(ByteView MsgData);
    // The 9-byte Logon request: the three response bytes, then the log-on
    // moment. Empty when fewer than 3 response bytes are given.
    Bytes Build(ByteView Response) const;
    // Reads a Get clock data reply into LockDate; fewer than
    // kClockReplyBytes change nothing.
    LogonParseResult ParseTime(ByteView MsgData);

    const CivilDateTime& LogonDate() const { return logonDate_; }
    const CivilDateTime& LockDate() const { return lockDate_; }

    std::uint8_t StatusCode() const { return statusCode_; }
    void SetStatusCode(std::uint8_t v) { statusCode_ = v; }
    std::uint16_t BatteryLevel() const { return batteryLevel_; }
    void SetBatteryLevel(std::uint16_t v) { batteryLevel_ = v; }
    std::uint16_t HardwareClass() const { return hardwareClass_; }
    void SetHardwareClass(std::uint16_t v) { hardwareClass_ = v; }
    std::uint8_t Release() const { return release_; }
    void SetRelease(std::uint8_t v) { release_ = v; }
    std::uint8_t Revision() const { return revision_; }
    void SetRevision(std::uint8_t v) { revision_ = v; }
    std::uint32_t DriveCount() const { return driveCount_; }
    void SetDriveCount(std::uint32_t v) { driveCount_ = v; }
    std::uint32_t CardCount() const { return cardCount_; }
    void SetCardCount(std::uint32_t v) { cardCount_ = v; }

  private:
    // Two-digit years later than the log-on year belong to the last century.
    int LockYear(int offset) const;

    CivilDateTime logonDate_;
    CivilDateTime lockDate_;
    std::uint8_t statusCode_ = 0;
    std::uint16_t batteryLevel_ = 0;
    std::uint16_t hardwareClass_ = 0;
    std::uint8_t release_ = 0;
    std::uint8_t revision_ = 0;
    std::uint32_t driveCount_ = 0;
    std::uint32_t cardCount_ = 0;
};

// The 6 bytes of Set clock data for a moment of the PC clock.
Bytes BuildClockData(const CivilDateTime& now);

}  // namespace protocol
