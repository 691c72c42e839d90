#pragma once

#include <cstdint>

#include "platform/com/variant.h"

namespace tandrel {

// Find types of FindLockRecords.
enum PelFindTypes : int {
    PEL_FIND_TYPE_BEGIN = 0,
    PEL_FIND_TYPE_GREATER = 1,  // greater than or equal
    PEL_FIND_TYPE_FIRST = 2,
};

// The record calls of a network device's data link control. Each returns 0
// on success and -1 on failure (no answer, not connected, no record).
class LockDataLink {
  public:
    virtual ~LockDataLink() = default;
    virtual std::int32_t AddLockRecord(int recordType, const com::Variant& recordData) = 0;
    // Fills `recordData` only when a record came.
    virtual std::int32_t GetNextLockRecord(int recordType, com::Variant& recordData) = 0;
    virtual std::int32_t RemoveAllLockRecords(int recordType) = 0;
    virtual std::int32_t RemoveCurrentLockRecord(int recordType) = 0;
    virtual std::int32_t FindLockRecords(int recordType, std::int32_t compareOffset,
                                         std::int32_t compareData, int findType,
                                         std::int32_t& found) = 0;
    virtual std::int32_t UpdateCurrentLockRecord(int recordType,
                                                 const com::Variant& recordData) = 0;
};

}  // namespace tandrel
