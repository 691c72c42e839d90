#pragma once

#include <cstdint>

#include "platform/ce/ce_types.h"

namespace ce {

// The object store and registry calls of a handheld, each returning 0 or the
// error number the platform would report. The handheld program reaches its
// own store directly (ObjectStore); the desktop reaches a cradled handheld
// through a session (CradleSession), which adds kErrorConnectionLost.
class Api {
  public:
    virtual ~Api() = default;

    // CeOpenDatabase: by `oid` when it is not 0, else by `name` (setting
    // `oid`). `sortOrder` is the property of one of the database's sort
    // orders, or 0 for its first one; flags: CEDB_AUTOINCREMENT.
    virtual std::uint32_t OpenDatabase(Oid& oid, const QString& name, PropId sortOrder,
                                       std::uint32_t flags, Handle& handle) = 0;
    // CeCreateDatabase: at most four sort orders on CEVT_UI2, CEVT_UI4 or
    // CEVT_LPWSTR properties.
    virtual std::uint32_t CreateDatabase(const QString& name, std::uint32_t type,
                                         const std::vector<SortOrderSpec>& sortOrders,
                                         Oid& oid) = 0;
    // CeDeleteDatabase: handles still open on it fail with ERROR_KEY_DELETED.
    virtual std::uint32_t DeleteDatabase(Oid oid) = 0;
    // CeSeekDatabase. CEDB_SEEK_CEOID takes the record's object id in
    // `value`; the value seeks compare `compared` with the active sort
    // order's property. Sets `found` to the record now at the position.
    virtual std::uint32_t SeekDatabase(Handle handle, std::uint32_t seekType, std::uint32_t value,
                                       const PropVal* compared, Oid& found) = 0;
    // CeReadRecordProps of all properties of the record at the position
    // (in the order they were written); ERROR_NO_MORE_ITEMS past the last.
    virtual std::uint32_t ReadRecordProps(Handle handle, Record& props, Oid& oid) = 0;
    // CeWriteRecordProps: a new record when `oid` is 0, else replaces the
    // given properties of that record (CEDB_PROPDELETE removes one).
    virtual std::uint32_t WriteRecordProps(Handle handle, Oid oid, const Record& props,
                                           Oid& written) = 0;
    virtual std::uint32_t DeleteRecord(Handle handle, Oid oid) = 0;
    // CeOidGetInfo of a database.
    virtual std::uint32_t OidGetInfo(Oid oid, ObjectInfo& info) = 0;
    virtual std::uint32_t CloseHandle(Handle handle) = 0;
    // CeFindFirstDatabase / CeFindNextDatabase: the databases of `type`
    // (0: all) in the order they were created.
    virtual std::uint32_t FindDatabases(std::uint32_t type, std::vector<Oid>& oids) = 0;
    // CeFlushDBVol: what the calls changed so far is on the device's storage
    // when it returns 0, and survives the device losing power.
    virtual std::uint32_t FlushDatabaseVolume() = 0;

    // CeRegOpenKeyEx / CeRegCreateKeyEx under HKEY_LOCAL_MACHINE or
    // HKEY_CURRENT_USER; CeRegCreateKeyEx makes every missing level.
    virtual std::uint32_t RegOpenKeyEx(HKey root, const QString& subKey, HKey& key) = 0;
    virtual std::uint32_t RegCreateKeyEx(HKey root, const QString& subKey, HKey& key) = 0;
    // CeRegQueryValueEx into a buffer of `bufferSize` bytes: ERROR_MORE_DATA
    // when the value does not fit, ERROR_FILE_NOT_FOUND when it is missing.
    virtual std::uint32_t RegQueryValueEx(HKey key, const QString& name, std::uint32_t& type,
                                          QByteArray& data, std::uint32_t bufferSize) = 0;
    virtual std::uint32_t RegSetValueEx(HKey key, const QString& name, std::uint32_t type,
                                        const QByteArray& data) = 0;
    virtual std::uint32_t RegCloseKey(HKey key) = 0;
    // CeRegDeleteKey: the key, its values and its subkeys; keys still open
    // on them fail with ERROR_KEY_DELETED.
    virtual std::uint32_t RegDeleteKey(HKey root, const QString& subKey) = 0;
};

}  // namespace ce
