#include "audit_block.h"

#include "packed_date.h"

namespace protocol {
namespace {

// Event entry: type, date word, hour with the index's top bits, the
// index's low byte, minute, then the extra bytes of types 5 and 6.
AuditEvent ReadEvent(ByteView entry) {
    AuditEvent e;
    e.type = entry[0];
    e.dateWord = ReadBigEndian16(entry, 1);
    e.hour = entry[3] >> 3;
    e.lockUserIndex = (entry[3] & 0x07) << 8 | entry[4];
    e.minute = entry[5];
    if (e.type == kAuditSetAccessLevel) {
        e.accessLevel = entry[6];
        e.userGroups = entry[7];
    } else if (e.type == kAuditSetGroupAccess) {
        e.userGroups = entry[6];
    }
    return e;
}

AuditStatus ReadStatus(ByteView entry) {
    AuditStatus s;
    s.supplyMillivolts = ReadBigEndian16(entry, 1);
    s.hardwareClass = ReadBigEndian16(entry, 3);
    s.firmwareVersion = ReadBigEndian16(entry, 5);
    s.driveCount = ReadBigEndian32(entry, 7);
    s.cardCount = ReadBigEndian32(entry, 11);
    s.year = entry[15];
    s.month = entry[16];
    s.day = entry[17];
    s.hour = entry[18];
    s.minute = entry[19];
    return s;
}

void Append16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void Append32(Bytes& out, std::uint32_t value) {
    Append16(out, static_cast<std::uint16_t>(value >> 16));
    Append16(out, static_cast<std::uint16_t>(value));
}

// A date word's day as written, before any rollover of a day the month
// lacks.
int DayOf(std::uint16_t word) {
    return (word >> 11) & 0x1F;
}

std::optional<CivilDateTime> RealMoment(std::uint16_t word, int hour, int minute, int currentYear) {
    std::optional<CivilDateTime> date = UnpackDate(word, currentYear);
    if (!date || date->day != DayOf(word) || hour > 23 || minute > 59) return std::nullopt;
    date->hour = hour;
    date->minute = minute;
    return date;
}

}  // namespace

std::size_t AuditEventLength(std::uint8_t type) {
    switch (type) {
        case kAuditSetAccessLevel: return 8;
        case kAuditSetGroupAccess: return 7;
        default: return 6;
    }
}

AuditBlock DecodeAuditBlock(ByteView block) {
    AuditBlock out;
    if (block.size() <= kAuditKeyBytes) return out;
    out.firstKey = ReadBigEndian32(block, 0);
    std::uint32_t nextKey = out.firstKey;
    for (std::size_t at = kAuditKeyBytes; at < block.size();) {
        const std::uint8_t type = block[at];
        if (type == kAuditEnd || type == kAuditEndAlternate) break;
        const std::size_t length =
            type == kAuditStatus ? kAuditStatusBytes : AuditEventLength(type);
        if (length > block.size() - at) break;
        const ByteView entry = block.subspan(at, length);
        if (type == kAuditStatus) {
            out.items.emplace_back(ReadStatus(entry));
        } else {
            AuditEvent event = ReadEvent(entry);
            event.auditKey = nextKey--;
            out.items.emplace_back(event);
        }
        at += length;
    }
    return out;
}

void AppendAuditEvent(Bytes& block, const AuditEvent& event) {
    block.push_back(event.type);
    Append16(block, event.dateWord);
    block.push_back(
        static_cast<std::uint8_t>((event.hour & 0x1F) << 3 | ((event.lockUserIndex >> 8) & 0x07)));
    block.push_back(static_cast<std::uint8_t>(event.lockUserIndex));
    block.push_back(static_cast<std::uint8_t>(event.minute));
    if (event.type == kAuditSetAccessLevel) {
        block.push_back(event.accessLevel);
        block.push_back(event.userGroups);
    } else if (event.type == kAuditSetGroupAccess) {
        block.push_back(event.userGroups);
    }
}

void AppendAuditStatus(Bytes& block, const AuditStatus& status) {
    block.push_back(kAuditStatus);
    Append16(block, status.supplyMillivolts);
    Append16(block, status.hardwareClass);
    Append16(block, status.firmwareVersion);
    Append32(block, status.driveCount);
    Append32(block, status.cardCount);
    block.insert(block.end(), {status.year, status.month, status.day, status.hour, status.minute});
}

Bytes EncodeAuditBlock(std::uint32_t firstKey, const std::vector<AuditItem>& items) {
    Bytes block;
    Append32(block, firstKey);
    for (const AuditItem& item : items) {
        if (const auto* event = std::get_if<AuditEvent>(&item)) {
            AppendAuditEvent(block, *event);
        } else {
            AppendAuditStatus(block, std::get<AuditStatus>(item));
        }
    }
    return block;
}

std::optional<CivilDateTime> AuditEventTime(const AuditEvent& event, int currentYear) {
    return RealMoment(event.dateWord, event.hour, event.minute, currentYear);
}

std::optional<CivilDateTime> AuditStatusTime(const AuditStatus& status, int currentYear) {
    // Fields beyond what a date word holds are no date at all.
    if (status.year > 99 || status.month > 12 || status.day > 31) return std::nullopt;
    return RealMoment(PackDate(status.year, status.month, status.day), status.hour, status.minute,
                      currentYear);
}

}  // namespace protocol
