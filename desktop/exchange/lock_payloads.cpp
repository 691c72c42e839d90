#include "desktop/exchange/lock_payloads.h"

#include <array>

namespace tandrel {
namespace {

constexpr int kUnset = 255;
constexpr std::size_t kFacilityCodeBytes = 10;

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Digits as packed decimal from `at`: two per byte, first in the high
// nibble; nibbles without a digit keep 0xF.
void PackDigits(Bytes& out, std::size_t at, const QString& digits, std::size_t maxDigits) {
    for (std::size_t i = 0; i < maxDigits && i < static_cast<std::size_t>(digits.size()); ++i) {
        const std::uint8_t value = digits[static_cast<qsizetype>(i)].unicode() & 0x0F;
        std::uint8_t& b = out[at + i / 2];
        b = i % 2 == 0 ? static_cast<std::uint8_t>((b & 0x0F) | value << 4)
                       : static_cast<std::uint8_t>((b & 0xF0) | value);
    }
}

// Where a card value sits: nothing when it is not on the card (2), else its
// position, plus 0x80 when it counts fields.
std::uint8_t CardPosition(int isField, int position) {
    if (isField == 2) return 0;
    return Byte(position + (isField == 1 ? 0x80 : 0));
}

const std::array<std::array<std::uint8_t, 3>, 14> kExpiryOrder = {{
    {0x84, 0x82, 0x80},
    {0x86, 0x82, 0x80},
    {0x84, 0x80, 0x82},
    {0x86, 0x80, 0x82},
    {0x82, 0x80, 0x00},
    {0x84, 0x80, 0x00},
    {0x80, 0x00, 0x00},
    {0x80, 0x84, 0x82},
    {0x80, 0x82, 0x00},
    {0x80, 0x82, 0x84},
    {0x82, 0x00, 0x00},
    {0x82, 0x86, 0x84},
    {0x82, 0x84, 0x00},
    {0x82, 0x84, 0x86},
}};

std::uint8_t MonthNibble(int month) {
    return month == kUnset ? 0 : Byte(month + 1) & 0x0F;
}

}  // namespace

FacilityData FacilityDataOf(const CFacilityPropertiesRecordset& r) {
    FacilityData f;
    f.commCode = static_cast<std::uint16_t>(r.m_CommCode);
    f.idCodeLength = r.m_IDCodeLength;
    f.pinLength = r.m_PINLength;
    f.dstAheadMonth = r.m_DSTAheadMonth;
    f.dstBackMonth = r.m_DSTBackMonth;
    f.dstAheadDay = r.m_DSTAheadDay;
    f.dstBackDay = r.m_DSTBackDay;
    f.facilityCode = r.m_FacilityCode;
    f.cardFacilityPosIsField = r.m_CardFacilityPosIsField;
    f.cardFacilityPosition = r.m_CardFacilityPosition;
    f.cardIDPosIsField = r.m_CardIDPosIsField;
    f.cardIDPosition = r.m_CardIDPosition;
    f.cardTrack = r.m_CardTrack;
    f.cardIssueIsField = r.m_CardIssueIsField;
    f.cardIssuePosition = r.m_CardIssuePosition;
    f.cardExpireIsField = r.m_CardExpireIsField;
    f.cardExpirePosition = r.m_CardExpirePosition;
    f.cardExpireThru = r.m_CardExpireThru;
    f.cardExpireFormat = r.m_CardExpireFormat;
    return f;
}

std::uint8_t DstDayCode(int weekCode, int month) {
    // The last week starts six days before the month's end (February: 28).
    static constexpr std::uint8_t kLastWeek[12] = {0xE7, 0xEA, 0xE7, 0xE8, 0xE7, 0xE8,
                                                   0xE7, 0xE7, 0xE8, 0xE7, 0xE8, 0xE7};
    switch (weekCode) {
        case 0: return 0xFF;
        case 1: return kLastWeek[month < 0 ? 0 : (month > 11 ? 11 : month)];
        case 2: return 0xF8;
        case 3: return 0xF1;
        case 4: return 0xEA;
        default: return 0;
    }
}

Bytes FacilityPayload(const FacilityData& f) {
    Bytes p(25, 0);
    p[0] = Byte(f.commCode >> 8);
    p[1] = Byte(f.commCode);
    p[2] = Byte((f.idCodeLength & 0x0F) | (f.pinLength & 0x0F) << 4);
    p[3] = Byte(MonthNibble(f.dstAheadMonth) | MonthNibble(f.dstBackMonth) << 4);
    p[4] = DstDayCode(f.dstAheadDay, f.dstAheadMonth);
    p[5] = DstDayCode(f.dstBackDay, f.dstBackMonth);
    const QByteArray code = f.facilityCode.toLatin1().left(kFacilityCodeBytes);
    for (int i = 0; i < code.size(); ++i) p[6 + i] = static_cast<std::uint8_t>(code[i]);
    p[16] = Byte(static_cast<int>(code.size()));
    p[17] = CardPosition(f.cardFacilityPosIsField, f.cardFacilityPosition);
    p[18] = Byte(f.cardIDPosition + (f.cardIDPosIsField != 0 ? 0x80 : 0));
    p[19] = f.cardTrack != 0 ? 0x46 : 0x1A;
    p[20] = CardPosition(f.cardIssueIsField, f.cardIssuePosition);
    p[21] = f.cardExpireIsField == 2
                ? 0
                : Byte(CardPosition(f.cardExpireIsField, f.cardExpirePosition) +
                       (f.cardExpireThru == 0 ? 0x40 : 0));
    if (f.cardExpireFormat >= 0 && f.cardExpireFormat < static_cast<int>(kExpiryOrder.size())) {
        for (int i = 0; i < 3; ++i) p[22 + i] = kExpiryOrder[f.cardExpireFormat][i];
    }
    return p;
}

Bytes AddressPayload(int lockKey) {
    return {Byte(lockKey >> 8), Byte(lockKey)};
}

Bytes OpenDelayPayload(int seconds) {
    return {Byte(seconds)};
}

Bytes DeleteUsersPayload(int firstSlot, int lastSlot) {
    return {Byte(firstSlot >> 8), Byte(firstSlot), Byte(lastSlot >> 8), Byte(lastSlot)};
}

Bytes WriteUserPayload(const LockUserData& u) {
    static constexpr std::uint8_t kTypeCodes[4] = {2, 4, 14, 6};
    Bytes p(17, 0xFF);
    p[0] = Byte(u.slot >> 8);
    p[1] = Byte(u.slot);
    PackDigits(p, 2, u.idCode, 20);
    const int typeClass = (u.userTypeByte >> 5) & 3;
    p[11] = Byte((p[11] & 0xF0) | (kTypeCodes[typeClass] + (u.cardMedia ? 1 : 0)));
    p[12] = Byte((u.cardIssueNumber.trimmed().toInt() & 0x0F) << 4 | (u.homeGroup & 7) << 1);
    p[13] = typeClass == 0 || typeClass == 3 ? Byte((1 << (u.homeGroup & 7)) | u.groupMask)
                                             : Byte(u.userTypeByte & 0x1F);
    PackDigits(p, 14, u.currentPin, 6);
    return p;
}

Bytes PinTablePayload(int groupKey, int interval, int intervalType, bool autocode,
                      std::uint16_t pinDate) {
    return {Byte(groupKey), Byte(interval * 4 + (intervalType != 0 ? 2 : 0) + (autocode ? 1 : 0)),
            Byte(pinDate >> 8), Byte(pinDate)};
}

Bytes AuditAllPayload() {
    return {0x00};
}

Bytes AuditCountPayload(std::uint32_t next) {
    return {Byte(static_cast<int>(next >> 24)), Byte(static_cast<int>(next >> 16)),
            Byte(static_cast<int>(next >> 8)), Byte(static_cast<int>(next))};
}

int DeliveredUserType(const Bytes& payload) {
    if (payload.size() < 14) return -1;
    const int rights = payload[13] & 0x1F;
    switch ((payload[11] >> 1) & 7) {
        case 1: return 0;              // type code 2: General
        case 2: return rights + 0x20;  // 4: Manager
        case 3: return 0x60;           // 6: Service
        case 7: return rights + 0x40;  // 14: Programmer
        default: return -1;
    }
}

}  // namespace tandrel
