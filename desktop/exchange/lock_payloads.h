#pragma once

#include <QString>

#include <cstdint>

#include "desktop/data/table_recordsets.h"
#include "protocol/bytes.h"

namespace tandrel {

using protocol::Bytes;

// The facility-wide values a lock keeps (command 0x20).
struct FacilityData {
    std::uint16_t commCode = 0;
    int idCodeLength = 4, pinLength = 4;
    int dstAheadMonth = 255, dstBackMonth = 255;  // 0-based; 255 unset
    int dstAheadDay = 255, dstBackDay = 255;      // week codes 0-4; 255 unset
    QString facilityCode;
    int cardFacilityPosIsField = 0, cardFacilityPosition = 1;
    int cardIDPosIsField = 0, cardIDPosition = 1;
    int cardTrack = 255;
    int cardIssueIsField = 0, cardIssuePosition = 1;
    int cardExpireIsField = 0, cardExpirePosition = 1;
    int cardExpireThru = 0, cardExpireFormat = 0;
};
FacilityData FacilityDataOf(const CFacilityPropertiesRecordset& row);

// One lock user (command 0x31).
struct LockUserData {
    int slot = 0;
    QString idCode;
    bool cardMedia = false;
    int userTypeByte = 0;  // type code in bits 5-6, rights in bits 0-4
    QString cardIssueNumber;
    int homeGroup = 0;
    int groupMask = 0;
    QString currentPin;
};

// The byte of a daylight-saving change: the two's complement of the first
// day of the week it falls in; 0 for an unset or unknown week code.
std::uint8_t DstDayCode(int weekCode, int month);

Bytes FacilityPayload(const FacilityData& f);                        // 0x20, 25 bytes
Bytes AddressPayload(int lockKey);                                   // 0x21, 2 bytes
Bytes OpenDelayPayload(int seconds);                                 // 0x27, 1 byte
Bytes DeleteUsersPayload(int firstSlot, int lastSlot);               // 0x30, 4 bytes
Bytes WriteUserPayload(const LockUserData& user);                    // 0x31, 17 bytes
Bytes PinTablePayload(int groupKey, int interval, int intervalType,  // 0x60, 4 bytes
                      bool autocode, std::uint16_t pinDate);
Bytes AuditAllPayload();                              // 0x72, 1 byte
Bytes AuditCountPayload(std::uint32_t nextAuditKey);  // 0x74, 4 bytes

// The user type byte a lock reports holding, from a delivered 0x31
// payload; -1 for a payload too short or a type code it cannot be.
int DeliveredUserType(const Bytes& payload);

}  // namespace tandrel
