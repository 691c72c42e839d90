#pragma once

#include <cstdint>
#include <vector>

namespace tandrel {

// The six kinds of handheld record; the values are the record type numbers
// of the network device.
enum class RecordKind : int {
    Programming = 0,   // TDXPGM
    Directory = 1,     // TDXLDF
    Audit = 2,         // TDXLAF
    EnrolledLock = 3,  // TDXLMF
    DeviceRegistry = 4,
    OsData = 5,  // TDXLOS
};

// Property value types as the network controls name them.
enum DataTypes : int {
    DATA_TYPE_I2 = 0,
    DATA_TYPE_I4 = 1,
    DATA_TYPE_STRING = 2,
    DATA_TYPE_BINARY = 3,
};

// Property positions (0-based) of each kind.
enum PGMDataOffsets : int {
    PGM_DATA_OFFSET_LOCK_ADDRESS = 0,
    PGM_DATA_OFFSET_COMMAND = 1,
    PGM_DATA_OFFSET_DATA = 2,
};
enum LDFDataOffsets : int {
    LDF_DATA_OFFSET_KEY = 0,
    LDF_DATA_OFFSET_NAME = 1,
    LDF_DATA_OFFSET_PARENT = 2,
};
enum LMFDataOffsets : int {
    LMF_DATA_OFFSET_LOCK_ADDRESS = 0,
    LMF_DATA_OFFSET_PARENT = 1,
    LMF_DATA_OFFSET_HARDWARE_CLASS = 2,
    LMF_DATA_OFFSET_VERSION = 3,
    LMF_DATA_OFFSET_NAME = 4,
    LMF_DATA_OFFSET_BATTERY_LEVEL = 5,
    LMF_DATA_OFFSET_EXCHANGE_DATE = 6,
    LMF_DATA_OFFSET_EXCHANGE_TIME = 7,
    LMF_DATA_OFFSET_DRIVE_COUNT = 8,
    LMF_DATA_OFFSET_CARD_COUNT = 9,
};
enum REGDataOffsets : int {
    REG_DATA_OFFSET_FACILITY = 0,
    REG_DATA_OFFSET_VERSION = 1,
    REG_DATA_OFFSET_IDENTITY = 2,
    REG_DATA_OFFSET_VERSION_LOS = 3,
};
enum LOSDataOffsets : int {
    LOS_DATA_OFFSET_FACILITY = 0,
    LOS_DATA_OFFSET_DATA = 1,
    LOS_DATA_OFFSET_BLOCK_NUMBER = 2,
};
// Program status in bits 0-4 of LMF_DATA_OFFSET_EXCHANGE_TIME.
enum LMFStatusCodes : int {
    LMF_STATUS_CODE_NEW_LOCK = 0,
    LMF_STATUS_CODE_PROGRAMMED = 1,
};

// The CE value types of a kind's properties, in property order (all of
// them: the OS data kind lists its network-only block number too).
const std::vector<std::uint16_t>& PropertyTypes(RecordKind kind);
// Properties the storage holds: as listed, except the OS data kind, whose
// block number exists only on a network device.
int StoredPropertyCount(RecordKind kind, bool network);
// Kinds a network device always stores by rewriting its current record.
bool AlwaysUpdates(RecordKind kind);
// The DataTypes value of a CE value type.
int DataTypeOf(std::uint16_t ceType);

}  // namespace tandrel
