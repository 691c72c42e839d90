#include "platform/ce/cradle_session.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ce {
namespace {

constexpr int kRetryMs = 50;
// Every so many calls the path is looked up too (a file moved away).
constexpr unsigned kPathCheckEvery = 64;

bool FileIdentity(const QString& path, unsigned long long& device, unsigned long long& inode) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

}  // namespace

CradleSession::CradleSession(std::unique_ptr<ObjectStore> store, const QString& path)
    : store_(std::move(store)), path_(path) {
    watch_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    if (watch_ < 0 || !FileIdentity(path_, device_, inode_)) lost_ = true;
}

CradleSession::~CradleSession() {
    if (!lost_) store_->Flush();
    store_.reset();
    if (watch_ >= 0) ::close(watch_);
}

std::unique_ptr<CradleSession> CradleSession::Connect(const QString& storePath,
                                                      std::uint32_t& error, int waitMs) {
    QDeadlineTimer deadline(std::max(0, waitMs));
    for (;;) {
        std::unique_ptr<ObjectStore> store = ObjectStore::Open(storePath, error);
        if (store) {
            std::unique_ptr<CradleSession> session(new CradleSession(std::move(store), storePath));
            error = session->AssignDeviceId();
            if (error != 0) return nullptr;
            return session;
        }
        const bool worthWaiting = error == ERROR_FILE_NOT_FOUND || error == ERROR_SHARING_VIOLATION;
        if (!worthWaiting || deadline.hasExpired()) return nullptr;
        QThread::msleep(static_cast<unsigned long>(
            std::min<qint64>(kRetryMs, std::max<qint64>(1, deadline.remainingTime()))));
    }
}

bool CradleSession::StillThere() {
    struct stat info {};
    if (::fstat(watch_, &info) != 0 || info.st_nlink == 0) return false;
    if (++calls_ % kPathCheckEvery != 0) return true;
    unsigned long long device = 0, inode = 0;
    return FileIdentity(path_, device, inode) && device == device_ && inode == inode_;
}

template <typename Call>
std::uint32_t CradleSession::Link(Call&& call) {
    if (!lost_ && !StillThere()) lost_ = true;
    if (lost_) return kErrorConnectionLost;
    std::uint32_t result = call();
    if (store_->Failed()) {
        lost_ = true;
        return kErrorConnectionLost;
    }
    return result;
}

std::uint32_t CradleSession::GetDeviceId(std::uint32_t& id) {
    id = 0;
    return Link([&]() -> std::uint32_t {
        HKey key = 0;
        if (std::uint32_t error = store_->RegOpenKeyEx(HKEY_LOCAL_MACHINE, kIdentKey, key)) {
            return error;
        }
        std::uint32_t type = 0;
        QByteArray data;
        std::uint32_t error = store_->RegQueryValueEx(key, "DeviceId", type, data, 4);
        store_->RegCloseKey(key);
        if (error == 0 && (type != REG_DWORD || data.size() != 4)) error = ERROR_INVALID_DATA;
        if (error == 0) id = qFromLittleEndian<std::uint32_t>(data.constData());
        return error;
    });
}

std::uint32_t CradleSession::AssignDeviceId() {
    std::uint32_t id = 0;
    if (GetDeviceId(id) == 0 && id != 0) return 0;
    return Link([&]() -> std::uint32_t {
        HKey key = 0;
        if (std::uint32_t error = store_->RegCreateKeyEx(HKEY_LOCAL_MACHINE, kIdentKey, key)) {
            return error;
        }
        std::uint32_t fresh = 0;
        while (fresh == 0) fresh = QRandomGenerator::system()->generate();
        char bytes[4];
        qToLittleEndian(fresh, bytes);
        std::uint32_t error =
            store_->RegSetValueEx(key, "DeviceId", REG_DWORD, QByteArray(bytes, 4));
        store_->RegCloseKey(key);
        return error;
    });
}

std::uint32_t CradleSession::OpenDatabase(Oid& oid, const QString& name, PropId sortOrder,
                                          std::uint32_t flags, Handle& handle) {
    return Link([&] { return store_->OpenDatabase(oid, name, sortOrder, flags, handle); });
}
std::uint32_t CradleSession::CreateDatabase(const QString& name, std::uint32_t type,
                                            const std::vector<SortOrderSpec>& sortOrders,
                                            Oid& oid) {
    return Link([&] { return store_->CreateDatabase(name, type, sortOrders, oid); });
}
std::uint32_t CradleSession::DeleteDatabase(Oid oid) {
    return Link([&] { return store_->DeleteDatabase(oid); });
}
std::uint32_t CradleSession::SeekDatabase(Handle handle, std::uint32_t seekType,
                                          std::uint32_t value, const PropVal* compared,
                                          Oid& found) {
    return Link([&] { return store_->SeekDatabase(handle, seekType, value, compared, found); });
}
std::uint32_t CradleSession::ReadRecordProps(Handle handle, Record& props, Oid& oid) {
    return Link([&] { return store_->ReadRecordProps(handle, props, oid); });
}
std::uint32_t CradleSession::WriteRecordProps(Handle handle, Oid oid, const Record& props,
                                              Oid& written) {
    return Link([&] { return store_->WriteRecordProps(handle, oid, props, written); });
}
std::uint32_t CradleSession::DeleteRecord(Handle handle, Oid oid) {
    return Link([&] { return store_->DeleteRecord(handle, oid); });
}
std::uint32_t CradleSession::OidGetInfo(Oid oid, ObjectInfo& info) {
    return Link([&] { return store_->OidGetInfo(oid, info); });
}
std::uint32_t CradleSession::CloseHandle(Handle handle) {
    return Link([&] { return store_->CloseHandle(handle); });
}
std::uint32_t CradleSession::FindDatabases(std::uint32_t type, std::vector<Oid>& oids) {
    return Link([&] { return store_->FindDatabases(type, oids); });
}
std::uint32_t CradleSession::FlushDatabaseVolume() {
    return Link([&] { return store_->Flush(); });
}
std::uint32_t CradleSession::RegOpenKeyEx(HKey root, const QString& subKey, HKey& key) {
    return Link([&] { return store_->RegOpenKeyEx(root, subKey, key); });
}
std::uint32_t CradleSession::RegCreateKeyEx(HKey root, const QString& subKey, HKey& key) {
    return Link([&] { return store_->RegCreateKeyEx(root, subKey, key); });
}
std::uint32_t CradleSession::RegQueryValueEx(HKey key, const QString& name, std::uint32_t& type,
                                             QByteArray& data, std::uint32_t bufferSize) {
    return Link([&] { return store_->RegQueryValueEx(key, name, type, data, bufferSize); });
}
std::uint32_t CradleSession::RegSetValueEx(HKey key, const QString& name, std::uint32_t type,
                                           const QByteArray& data) {
    return Link([&] { return store_->RegSetValueEx(key, name, type, data); });
}

std::uint32_t CradleSession::RegCloseKey(HKey key) {
    return Link([&] { return store_->RegCloseKey(key); });
}
std::uint32_t CradleSession::RegDeleteKey(HKey root, const QString& subKey) {
    return Link([&] { return store_->RegDeleteKey(root, subKey); });
}

}  // namespace ce
