#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Types, flags and error numbers of the handheld's object store and
// registry, under the names the platform gives them.
namespace ce {

using Oid = std::uint32_t;     // object identifier; 0 names nothing
using Handle = std::uint32_t;  // open database; 0 is never a handle
using HKey = std::uint32_t;    // registry key: a root or an open key
using PropId = std::uint32_t;  // property number << 16 | value type

// Property value types.
inline constexpr std::uint16_t CEVT_UI2 = 0x12;
inline constexpr std::uint16_t CEVT_UI4 = 0x13;
inline constexpr std::uint16_t CEVT_LPWSTR = 0x1F;
inline constexpr std::uint16_t CEVT_BLOB = 0x41;

constexpr PropId MakePropId(std::uint16_t number, std::uint16_t type) {
    return static_cast<PropId>(number) << 16 | type;
}
constexpr std::uint16_t TypeOf(PropId id) {
    return static_cast<std::uint16_t>(id & 0xFFFF);
}
constexpr std::uint16_t NumberOf(PropId id) {
    return static_cast<std::uint16_t>(id >> 16);
}
bool IsKnownType(std::uint16_t type);

// CEPROPVAL flags: set on a property a read did not find; on a write, asks
// for the property to be removed from the record.
inline constexpr std::uint16_t CEDB_PROPNOTFOUND = 0x0400;
inline constexpr std::uint16_t CEDB_PROPDELETE = 0x0200;

// Open flag: every read moves the position on to the next record.
inline constexpr std::uint32_t CEDB_AUTOINCREMENT = 0x1;

// Seek types.
inline constexpr std::uint32_t CEDB_SEEK_CEOID = 0x1;
inline constexpr std::uint32_t CEDB_SEEK_BEGINNING = 0x2;
inline constexpr std::uint32_t CEDB_SEEK_VALUEFIRSTEQUAL = 0x20;
inline constexpr std::uint32_t CEDB_SEEK_VALUEGREATER = 0x40;  // greater than or equal

// Object types of ObjectInfo.
inline constexpr std::uint16_t OBJTYPE_DATABASE = 3;

// Limits of the object store.
inline constexpr int CEDB_MAXDBASENAMELEN = 32;  // with the terminator
inline constexpr int CEDB_MAXSORTORDER = 4;
inline constexpr int CEDB_MAXPROPDATASIZE = 65471;
inline constexpr int CEDB_MAXRECORDSIZE = 128 * 1024;

// Registry roots and value types.
inline constexpr HKey HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKey HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

// Error numbers the calls return (0 is success).
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERROR_INVALID_DATA = 13;
inline constexpr std::uint32_t ERROR_GEN_FAILURE = 31;
inline constexpr std::uint32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr std::uint32_t ERROR_DUP_NAME = 52;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_DISK_FULL = 112;
inline constexpr std::uint32_t ERROR_NO_DATA = 232;  // record not found
inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr std::uint32_t ERROR_KEY_DELETED = 1018;
// The desktop link itself failed: the handheld is gone.
inline constexpr std::uint32_t kErrorConnectionLost = 0x20000001;

// One property of a record (CEPROPVAL). The value lives in the member of
// its type: `number` for CEVT_UI2 and CEVT_UI4, `text` for CEVT_LPWSTR,
// `blob` for CEVT_BLOB.
struct PropVal {
    PropId id = 0;
    std::uint16_t flags = 0;
    std::uint32_t number = 0;
    QString text;
    QByteArray blob;

    std::uint16_t Type() const { return TypeOf(id); }
    static PropVal UI2(std::uint16_t propNumber, std::uint16_t value);
    static PropVal UI4(std::uint16_t propNumber, std::uint32_t value);
    static PropVal Text(std::uint16_t propNumber, const QString& value);
    static PropVal Blob(std::uint16_t propNumber, const QByteArray& value);
    bool operator==(const PropVal&) const = default;
};
using Record = std::vector<PropVal>;

// One sort order of a database: the property it sorts on. Only ascending
// order with records lacking the property last (flags 0) is kept.
struct SortOrderSpec {
    PropId propId = 0;
    std::uint32_t flags = 0;
    bool operator==(const SortOrderSpec&) const = default;
};

struct DatabaseInfo {
    QString name;
    std::uint32_t type = 0;
    std::uint32_t recordCount = 0;
    std::uint32_t size = 0;  // bytes of record data
    std::vector<SortOrderSpec> sortOrders;
};

// CEOIDINFO for a database object.
struct ObjectInfo {
    std::uint16_t objType = 0;
    DatabaseInfo database;
};

}  // namespace ce
