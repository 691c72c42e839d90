#include "desktop/exchange/network_transport.h"

#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/record_variant.h"

namespace tandrel {
namespace {

std::uint32_t Status(std::int32_t result) {
    return result == 0 ? 0 : NetworkTransport::kErrorRefused;
}

// The 32-bit value of a slot, as FindLockRecords compares it.
std::int32_t CompareValue(const CHandheldRecord& record, int index) {
    const ce::PropVal prop = record.Properties()[static_cast<std::size_t>(index)];
    return static_cast<std::int32_t>(prop.number);
}

}  // namespace

std::uint32_t NetworkTransport::Seek(CHandheldRecord& record, int mode, int index) {
    std::int32_t found = 0;
    const std::int32_t compared = mode == 0 ? 0 : CompareValue(record, index);
    std::int32_t result = link_->FindLockRecords(record.RecordType(), index, compared, mode, found);
    if (result != 0) return kErrorRefused;
    return found != 0 ? 0 : ce::ERROR_NO_DATA;
}

std::uint32_t NetworkTransport::Read(CHandheldRecord& record) {
    com::Variant data;
    if (link_->GetNextLockRecord(record.RecordType(), data) != 0) return ce::ERROR_NO_MORE_ITEMS;
    return RecordFromVariant(data, record) ? 0 : ce::ERROR_INVALID_DATA;
}

std::uint32_t NetworkTransport::Write(CHandheldRecord& record, bool isNew) {
    const com::Variant data = RecordToVariant(record);
    if (!isNew || record.AlwaysUpdate()) {
        return Status(link_->UpdateCurrentLockRecord(record.RecordType(), data));
    }
    return Status(link_->AddLockRecord(record.RecordType(), data));
}

std::uint32_t NetworkTransport::Delete(CHandheldRecord& record) {
    return Status(link_->RemoveCurrentLockRecord(record.RecordType()));
}

std::uint32_t NetworkTransport::DeleteAll(CHandheldRecord& record) {
    return Status(link_->RemoveAllLockRecords(record.RecordType()));
}

std::uint32_t NetworkTransport::OpenDatabases(ExchangeDatabases& databases) {
    databases = {};
    return 0;
}

void NetworkTransport::CloseDatabases(ExchangeDatabases& databases) {
    databases = {};
}

std::uint32_t NetworkTransport::ResetDatabases() {
    for (RecordKind kind :
         {RecordKind::OsData, RecordKind::EnrolledLock, RecordKind::Directory,
          RecordKind::Programming, RecordKind::Audit, RecordKind::DeviceRegistry}) {
        CHandheldRecord record(kind, *this);
        if (std::uint32_t error = DeleteAll(record)) return error;
    }
    return 0;
}

}  // namespace tandrel
