#include "tests/desktop/exchange/fake_devices.h"

#include <algorithm>

namespace tandrel::testing {
namespace {

// The 32-bit value of element `offset` of a record variant.
std::int32_t FieldOf(const com::Variant& record, std::int32_t offset) {
    const com::VariantArray* array = record.AsArray();
    if (!array || offset < 0 || offset >= static_cast<std::int32_t>(array->elements.size())) {
        return 0;
    }
    const com::Variant& e = array->elements[static_cast<std::size_t>(offset)];
    return e.Vt() == com::VT_I2 ? static_cast<std::uint16_t>(e.ToI2()) : e.ToI4();
}

}  // namespace

std::int32_t FakeLink::Log(const std::string& call, int type) {
    calls.push_back(call + " " + std::to_string(type));
    return refuse ? -1 : 0;
}

std::vector<com::Variant> FakeLink::Records(int type) const {
    std::vector<com::Variant> out;
    auto it = lists_.find(type);
    if (it != lists_.end()) {
        for (const auto& [marker, record] : it->second.records) out.push_back(record);
    }
    return out;
}

std::int32_t FakeLink::AddLockRecord(int type, const com::Variant& data) {
    if (Log("Add", type) != 0) return -1;
    List& list = lists_[type];
    list.records.emplace_back(list.nextMarker++, data);
    return 0;
}

std::int32_t FakeLink::GetNextLockRecord(int type, com::Variant& data) {
    if (Log("GetNext", type) != 0) return -1;
    if (nextReply) {
        data = *nextReply;
        nextReply.reset();
        return 0;
    }
    List& list = lists_[type];
    list.current = 0;
    if (list.cursor >= list.found.size()) return -1;
    list.current = list.found[list.cursor++];
    for (const auto& [marker, record] : list.records) {
        if (marker == list.current) data = record;
    }
    return 0;
}

std::int32_t FakeLink::RemoveAllLockRecords(int type) {
    if (Log("RemoveAll", type) != 0) return -1;
    lists_[type] = List{};
    return 0;
}

std::int32_t FakeLink::RemoveCurrentLockRecord(int type) {
    if (Log("RemoveCurrent", type) != 0) return -1;
    List& list = lists_[type];
    if (list.current == 0) return -1;
    const int marker = list.current;
    std::erase_if(list.records, [&](const auto& r) { return r.first == marker; });
    std::erase(list.found, marker);
    if (list.cursor > 0) --list.cursor;
    list.current = 0;
    return 0;
}

std::int32_t FakeLink::FindLockRecords(int type, std::int32_t offset, std::int32_t value,
                                       int findType, std::int32_t& found) {
    if (Log("Find " + std::to_string(offset) + " " + std::to_string(value) + " " +
                std::to_string(findType),
            type) != 0) {
        return -1;
    }
    List& list = lists_[type];
    list.found.clear();
    for (const auto& [marker, record] : list.records) {
        const std::int32_t field = FieldOf(record, offset);
        if (findType == PEL_FIND_TYPE_BEGIN ||
            (findType == PEL_FIND_TYPE_GREATER && field >= value) ||
            (findType == PEL_FIND_TYPE_FIRST && field == value)) {
            list.found.push_back(marker);
        }
    }
    list.cursor = 0;
    list.current = 0;
    found = list.found.empty() ? 0 : 1;
    return 0;
}

std::int32_t FakeLink::UpdateCurrentLockRecord(int type, const com::Variant& data) {
    if (Log("Update", type) != 0) return -1;
    List& list = lists_[type];
    for (auto& [marker, record] : list.records) {
        if (marker == list.current) {
            record = data;
            return 0;
        }
    }
    // The registry and OS kinds are only ever updated: a store without a
    // current record keeps the record as a new one.
    list.records.emplace_back(list.nextMarker++, data);
    return 0;
}

bool RecordingDevice::Note(const std::string& call) {
    calls.push_back(call);
    if (callsBeforeLoss < 0) return true;
    return callsBeforeLoss-- > 0;
}

std::uint32_t RecordingDevice::OpenDatabase(ce::Oid& oid, const QString& name, ce::PropId sortOrder,
                                            std::uint32_t flags, ce::Handle& handle) {
    const std::string what = name.isEmpty() ? "#" + std::to_string(oid) : name.toStdString();
    if (!Note("OpenDatabase " + what)) return ce::kErrorConnectionLost;
    return inner_->OpenDatabase(oid, name, sortOrder, flags, handle);
}
std::uint32_t RecordingDevice::CreateDatabase(const QString& name, std::uint32_t type,
                                              const std::vector<ce::SortOrderSpec>& sortOrders,
                                              ce::Oid& oid) {
    if (!Note("CreateDatabase " + name.toStdString())) return ce::kErrorConnectionLost;
    return inner_->CreateDatabase(name, type, sortOrders, oid);
}
std::uint32_t RecordingDevice::DeleteDatabase(ce::Oid oid) {
    if (!Note("DeleteDatabase")) return ce::kErrorConnectionLost;
    return inner_->DeleteDatabase(oid);
}
std::uint32_t RecordingDevice::SeekDatabase(ce::Handle handle, std::uint32_t seekType,
                                            std::uint32_t value, const ce::PropVal* compared,
                                            ce::Oid& found) {
    if (!Note("SeekDatabase")) return ce::kErrorConnectionLost;
    return inner_->SeekDatabase(handle, seekType, value, compared, found);
}
std::uint32_t RecordingDevice::ReadRecordProps(ce::Handle handle, ce::Record& props, ce::Oid& oid) {
    if (!Note("ReadRecordProps")) return ce::kErrorConnectionLost;
    return inner_->ReadRecordProps(handle, props, oid);
}
std::uint32_t RecordingDevice::WriteRecordProps(ce::Handle handle, ce::Oid oid,
                                                const ce::Record& props, ce::Oid& written) {
    if (!Note("WriteRecordProps")) return ce::kErrorConnectionLost;
    return inner_->WriteRecordProps(handle, oid, props, written);
}
std::uint32_t RecordingDevice::DeleteRecord(ce::Handle handle, ce::Oid oid) {
    if (!Note("DeleteRecord")) return ce::kErrorConnectionLost;
    return inner_->DeleteRecord(handle, oid);
}
std::uint32_t RecordingDevice::OidGetInfo(ce::Oid oid, ce::ObjectInfo& info) {
    if (!Note("OidGetInfo")) return ce::kErrorConnectionLost;
    return inner_->OidGetInfo(oid, info);
}
std::uint32_t RecordingDevice::CloseHandle(ce::Handle handle) {
    if (!Note("CloseHandle")) return ce::kErrorConnectionLost;
    return inner_->CloseHandle(handle);
}
std::uint32_t RecordingDevice::FindDatabases(std::uint32_t type, std::vector<ce::Oid>& oids) {
    if (!Note("FindDatabases")) return ce::kErrorConnectionLost;
    return inner_->FindDatabases(type, oids);
}
std::uint32_t RecordingDevice::FlushDatabaseVolume() {
    if (!Note("FlushDatabaseVolume")) return ce::kErrorConnectionLost;
    return failFlushWith != 0 ? failFlushWith : inner_->FlushDatabaseVolume();
}
std::uint32_t RecordingDevice::RegOpenKeyEx(ce::HKey root, const QString& subKey, ce::HKey& key) {
    if (!Note("RegOpenKeyEx")) return ce::kErrorConnectionLost;
    return inner_->RegOpenKeyEx(root, subKey, key);
}
std::uint32_t RecordingDevice::RegCreateKeyEx(ce::HKey root, const QString& subKey, ce::HKey& key) {
    if (!Note("RegCreateKeyEx")) return ce::kErrorConnectionLost;
    return inner_->RegCreateKeyEx(root, subKey, key);
}
std::uint32_t RecordingDevice::RegQueryValueEx(ce::HKey key, const QString& name,
                                               std::uint32_t& type, QByteArray& data,
                                               std::uint32_t bufferSize) {
    if (!Note("RegQueryValueEx " + name.toStdString() + " " + std::to_string(bufferSize))) {
        return ce::kErrorConnectionLost;
    }
    return inner_->RegQueryValueEx(key, name, type, data, bufferSize);
}
std::uint32_t RecordingDevice::RegSetValueEx(ce::HKey key, const QString& name, std::uint32_t type,
                                             const QByteArray& data) {
    if (!Note("RegSetValueEx " + name.toStdString())) return ce::kErrorConnectionLost;
    if (name == failSet) return failWith;
    return inner_->RegSetValueEx(key, name, type, data);
}
std::uint32_t RecordingDevice::RegCloseKey(ce::HKey key) {
    if (!Note("RegCloseKey")) return ce::kErrorConnectionLost;
    return inner_->RegCloseKey(key);
}
std::uint32_t RecordingDevice::RegDeleteKey(ce::HKey root, const QString& subKey) {
    if (!Note("RegDeleteKey")) return ce::kErrorConnectionLost;
    return inner_->RegDeleteKey(root, subKey);
}

}  // namespace tandrel::testing
