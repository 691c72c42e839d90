#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "bytes.h"
#include "civil_time.h"

namespace protocol {

// The first byte of each entry of an audit block.
enum AuditEntryType : std::uint8_t {
    kAuditEnd = 0x00,
    kAuditKeyOnly = 0x01,  // takes an audit key but logs nothing worth keeping
    kAuditLogOn = 0x02,
    kAuditEntry = 0x03,
    kAuditAttempt = 0x04,
    kAuditSetAccessLevel = 0x05,
    kAuditSetGroupAccess = 0x06,
    kAuditAntitamper = 0x0B,
    kAuditRemoteEntry = 0x0C,
    kAuditKeyEntry = 0x0D,
    kAuditSetClock = 0x0E,
    kAuditEndAlternate = 0x0F,
    kAuditStatus = 0xFF,
};

inline constexpr std::size_t kAuditKeyBytes = 4;
inline constexpr std::size_t kAuditStatusBytes = 20;
// The lock user index of an event no user slot caused.
inline constexpr int kAuditNoUserSlot = 2047;

// Bytes of an event entry of `type` (types other than the end markers and
// the status entry).
std::size_t AuditEventLength(std::uint8_t type);

// One logged event, fields as the lock wrote them.
struct AuditEvent {
    std::uint32_t auditKey = 0;  // given by its place in the block
    std::uint8_t type = 0;
    std::uint16_t dateWord = 0;    // packed date word
    int hour = 0;                  // 0-31 as logged
    int minute = 0;                // 0-255 as logged
    int lockUserIndex = 0;         // 11 bits
    std::uint8_t accessLevel = 0;  // Set Access Level only
    std::uint8_t userGroups = 0;   // Set Access Level and Set Group Access only

    // Whether the event belongs in the facility's audit data.
    bool Kept() const { return type != kAuditKeyOnly; }
    bool operator==(const AuditEvent&) const = default;
};

// The lock's status entry; it takes no audit key.
struct AuditStatus {
    std::uint16_t supplyMillivolts = 0;
    std::uint16_t hardwareClass = 0;
    std::uint16_t firmwareVersion = 0;
    std::uint32_t driveCount = 0;
    std::uint32_t cardCount = 0;
    // The lock's clock as logged: year within the century and so on.
    std::uint8_t year = 0, month = 0, day = 0, hour = 0, minute = 0;

    bool operator==(const AuditStatus&) const = default;
};

using AuditItem = std::variant<AuditEvent, AuditStatus>;

// A decoded block: events and status entries in block order. A block of
// four bytes or less holds nothing.
struct AuditBlock {
    std::uint32_t firstKey = 0;
    std::vector<AuditItem> items;
};

// Reads entries from byte 4 on until an end marker, the end of the block or
// an entry the block cuts short. Never reads past the block.
AuditBlock DecodeAuditBlock(ByteView block);

// Appends one entry; an event's audit key is not written (it follows from
// the block's first key), nor are extra bytes its type lacks.
void AppendAuditEvent(Bytes& block, const AuditEvent& event);
void AppendAuditStatus(Bytes& block, const AuditStatus& status);
// The first key (big-endian) followed by the items.
Bytes EncodeAuditBlock(std::uint32_t firstKey, const std::vector<AuditItem>& items);

// The moment an event or status entry names, with the century rule of the
// date words; nullopt when it is not a real date and time (31 April, hour
// 24, a year value above 99).
std::optional<CivilDateTime> AuditEventTime(const AuditEvent& event, int currentYear);
std::optional<CivilDateTime> AuditStatusTime(const AuditStatus& status, int currentYear);

}  // namespace protocol
