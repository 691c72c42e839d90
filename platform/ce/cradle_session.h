#pragma once

#include <QString>

#include <memory>

#include "platform/ce/object_store.h"

namespace ce {

// The desktop's link to a handheld in its cradle: a session on the
// handheld's object store file. While it lasts the handheld program cannot
// use the store (and while the handheld program runs, no session can be
// opened). When the file vanishes or fails under the session, the call and
// every later one return kErrorConnectionLost.
class CradleSession : public Api {
  public:
    // The platform's wait for a handheld to answer.
    static constexpr int kConnectWaitMs = 2000;

    // Opens a session on the store at `storePath`, trying again while the
    // file is missing or held by another program until `waitMs` have
    // passed. nullptr with the store's error when it could not be reached.
    static std::unique_ptr<CradleSession> Connect(const QString& storePath, std::uint32_t& error,
                                                  int waitMs = kConnectWaitMs);
    // Ends the session, committing what it wrote.
    ~CradleSession() override;

    bool Lost() const { return lost_; }
    const QString& StorePath() const { return path_; }
    // The handheld's device id (CeGetDeviceId): kept in its registry and
    // given to a handheld that has none the first time it is cradled.
    std::uint32_t GetDeviceId(std::uint32_t& id);

    std::uint32_t OpenDatabase(Oid& oid, const QString& name, PropId sortOrder, std::uint32_t flags,
                               Handle& handle) override;
    std::uint32_t CreateDatabase(const QString& name, std::uint32_t type,
                                 const std::vector<SortOrderSpec>& sortOrders, Oid& oid) override;
    std::uint32_t DeleteDatabase(Oid oid) override;
    std::uint32_t SeekDatabase(Handle handle, std::uint32_t seekType, std::uint32_t value,
                               const PropVal* compared, Oid& found) override;
    std::uint32_t ReadRecordProps(Handle handle, Record& props, Oid& oid) override;
    std::uint32_t WriteRecordProps(Handle handle, Oid oid, const Record& props,
                                   Oid& written) override;
    std::uint32_t DeleteRecord(Handle handle, Oid oid) override;
    std::uint32_t OidGetInfo(Oid oid, ObjectInfo& info) override;
    std::uint32_t CloseHandle(Handle handle) override;
    std::uint32_t FindDatabases(std::uint32_t type, std::vector<Oid>& oids) override;
    std::uint32_t FlushDatabaseVolume() override;
    std::uint32_t RegOpenKeyEx(HKey root, const QString& subKey, HKey& key) override;
    std::uint32_t RegCreateKeyEx(HKey root, const QString& subKey, HKey& key) override;
    std::uint32_t RegQueryValueEx(HKey key, const QString& name, std::uint32_t& type,
                                  QByteArray& data, std::uint32_t bufferSize) override;
    std::uint32_t RegSetValueEx(HKey key, const QString& name, std::uint32_t type,
                                const QByteArray& data) override;
    std::uint32_t RegCloseKey(HKey key) override;
    std::uint32_t RegDeleteKey(HKey root, const QString& subKey) override;

  private:
    CradleSession(std::unique_ptr<ObjectStore> store, const QString& path);
    bool StillThere();
    // Runs one call on the store, turning a lost file into a lost link.
    template <typename Call>
    std::uint32_t Link(Call&& call);
    std::uint32_t AssignDeviceId();

    std::unique_ptr<ObjectStore> store_;
    QString path_;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    // Our own descriptor of the store file: it shows at once when the file
    // is deleted. It closes only after the store has closed, since closing
    // a descriptor drops the process's locks on the file.
    int watch_ = -1;
    unsigned calls_ = 0;
    bool lost_ = false;
};

// Where the handheld's identity lives in its registry (HKEY_LOCAL_MACHINE):
// "Name" and "Desc" as the owner set them, "DeviceId" as the platform gave it.
inline constexpr char kIdentKey[] = "Ident";

}  // namespace ce
