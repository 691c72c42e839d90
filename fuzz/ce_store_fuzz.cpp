// Handheld store images: any bytes either open as a store that every call
// can walk without harm, or are refused with a reason. Any bytes that decode
// as a stored record encode back to the same bytes.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

#include <unistd.h>

#include "platform/ce/object_store.h"
#include "platform/ce/record_codec.h"

namespace {

void CheckCodec(const QByteArray& bytes) {
    std::optional<ce::Record> record = ce::DecodeRecord(bytes);
    if (record && ce::EncodeRecord(*record) != bytes) std::abort();
}

void ReadAll(ce::ObjectStore& store, ce::Handle handle) {
    ce::Oid oid = 0;
    store.SeekDatabase(handle, ce::CEDB_SEEK_BEGINNING, 0, nullptr, oid);
    ce::Record props;
    for (int i = 0;
         i < 1000 && store.ReadRecordProps(handle, props, oid) != ce::ERROR_NO_MORE_ITEMS; ++i) {
        if (oid != 0) store.DeleteRecord(handle, oid);
    }
    ce::PropVal key = ce::PropVal::UI4(1, 0x10000);
    store.SeekDatabase(handle, ce::CEDB_SEEK_VALUEGREATER, 0, &key, oid);
    store.WriteRecordProps(handle, 0, {key, ce::PropVal::Text(2, "x")}, oid);
}

void Walk(ce::ObjectStore& store) {
    std::vector<ce::Oid> oids;
    store.FindDatabases(0, oids);
    for (ce::Oid oid : oids) {
        ce::ObjectInfo info;
        if (store.OidGetInfo(oid, info) != 0) continue;
        for (const ce::SortOrderSpec& sort : info.database.sortOrders) {
            ce::Handle handle = 0;
            ce::Oid opened = oid;
            if (store.OpenDatabase(opened, {}, sort.propId, ce::CEDB_AUTOINCREMENT, handle) == 0) {
                ReadAll(store, handle);
                store.CloseHandle(handle);
            }
        }
    }
    std::vector<ce::RegistryValue> values;
    store.RegistryValues(values);
    ce::HKey key = 0;
    if (store.RegCreateKeyEx(ce::HKEY_LOCAL_MACHINE, "Software\\A", key) == 0) {
        store.RegSetValueEx(key, "V", ce::REG_SZ, "x");
        store.RegCloseKey(key);
    }
    store.RegDeleteKey(ce::HKEY_LOCAL_MACHINE, "Software");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckCodec(bytes);
    static const QString path =
        QDir::temp().filePath(QStringLiteral("ce_store_fuzz_%1.store").arg(getpid()));
    QFile::remove(path + "-journal");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(bytes);
    file.close();
    std::uint32_t error = 0;
    std::unique_ptr<ce::ObjectStore> store = ce::ObjectStore::Open(path, error);
    if (!store) {
        if (error == 0) std::abort();
        return 0;
    }
    Walk(*store);
    return 0;
}
