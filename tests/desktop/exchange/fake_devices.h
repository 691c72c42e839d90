#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/exchange/lock_data_link.h"
#include "platform/ce/object_store.h"

namespace tandrel::testing {

// A network device's record store as its data link control serves it: per
// record type, the records in the order added, the records the last find
// selected and a cursor into them.
class FakeLink : public LockDataLink {
  public:
    std::vector<std::string> calls;         // "Add 0", "Update 4", "RemoveAll 5", ...
    std::optional<com::Variant> nextReply;  // served by the next GetNext as it is
    bool refuse = false;                    // every call fails

    std::vector<com::Variant> Records(int type) const;

    std::int32_t AddLockRecord(int type, const com::Variant& data) override;
    std::int32_t GetNextLockRecord(int type, com::Variant& data) override;
    std::int32_t RemoveAllLockRecords(int type) override;
    std::int32_t RemoveCurrentLockRecord(int type) override;
    std::int32_t FindLockRecords(int type, std::int32_t offset, std::int32_t value, int findType,
                                 std::int32_t& found) override;
    std::int32_t UpdateCurrentLockRecord(int type, const com::Variant& data) override;

  private:
    struct List {
        std::vector<std::pair<int, com::Variant>> records;  // marker, record
        std::vector<int> found;
        std::size_t cursor = 0;
        int current = 0;  // marker of the current record, 0: none
        int nextMarker = 1;
    };
    std::int32_t Log(const std::string& call, int type);
    std::map<int, List> lists_;
};

// The CE calls of a handheld, passed on to `inner` and noted; a registry set
// of the value named `failSet` fails with `failWith`.
class RecordingDevice : public ce::Api {
  public:
    void SetInner(ce::Api& inner) { inner_ = &inner; }

    std::vector<std::string> calls;  // "RegSetValueEx Version", "OpenDatabase TDXLDF", ...
    QString failSet;
    std::uint32_t failWith = ce::ERROR_DISK_FULL;
    // Every call after this many fails as a lost connection (-1: never).
    int callsBeforeLoss = -1;
    // What a volume flush returns instead of flushing (0: it flushes).
    std::uint32_t failFlushWith = 0;

    std::uint32_t OpenDatabase(ce::Oid& oid, const QString& name, ce::PropId sortOrder,
                               std::uint32_t flags, ce::Handle& handle) override;
    std::uint32_t CreateDatabase(const QString& name, std::uint32_t type,
                                 const std::vector<ce::SortOrderSpec>& sortOrders,
                                 ce::Oid& oid) override;
    std::uint32_t DeleteDatabase(ce::Oid oid) override;
    std::uint32_t SeekDatabase(ce::Handle handle, std::uint32_t seekType, std::uint32_t value,
                               const ce::PropVal* compared, ce::Oid& found) override;
    std::uint32_t ReadRecordProps(ce::Handle handle, ce::Record& props, ce::Oid& oid) override;
    std::uint32_t WriteRecordProps(ce::Handle handle, ce::Oid oid, const ce::Record& props,
                                   ce::Oid& written) override;
    std::uint32_t DeleteRecord(ce::Handle handle, ce::Oid oid) override;
    std::uint32_t OidGetInfo(ce::Oid oid, ce::ObjectInfo& info) override;
    std::uint32_t CloseHandle(ce::Handle handle) override;
    std::uint32_t FindDatabases(std::uint32_t type, std::vector<ce::Oid>& oids) override;
    std::uint32_t FlushDatabaseVolume() override;
    std::uint32_t RegOpenKeyEx(ce::HKey root, const QString& subKey, ce::HKey& key) override;
    std::uint32_t RegCreateKeyEx(ce::HKey root, const QString& subKey, ce::HKey& key) override;
    std::uint32_t RegQueryValueEx(ce::HKey key, const QString& name, std::uint32_t& type,
                                  QByteArray& data, std::uint32_t bufferSize) override;
    std::uint32_t RegSetValueEx(ce::HKey key, const QString& name, std::uint32_t type,
                                const QByteArray& data) override;
    std::uint32_t RegCloseKey(ce::HKey key) override;
    std::uint32_t RegDeleteKey(ce::HKey root, const QString& subKey) override;

  private:
    bool Note(const std::string& call);
    ce::Api* inner_ = nullptr;
};

}  // namespace tandrel::testing
