#include "desktop/exchange/handheld_transport.h"

#include "desktop/exchange/device_registry.h"
#include "desktop/exchange/handheld_record.h"

namespace tandrel {
namespace {

bool IsRegistry(const CHandheldRecord& record) {
    return record.Kind() == RecordKind::DeviceRegistry;
}

// The value slot `index` holds, as the CE property a value seek compares.
ce::PropVal SeekValue(const CHandheldRecord& record, int index) {
    const ce::Record props = record.Properties();
    return props[static_cast<std::size_t>(index)];
}

}  // namespace

std::uint32_t HandheldTransport::Seek(CHandheldRecord& record, int mode, int index) {
    if (IsRegistry(record)) return 0;
    ce::Oid found = 0;
    std::uint32_t error = 0;
    if (mode == 0) {
        error =
            device_->SeekDatabase(record.Database(), ce::CEDB_SEEK_BEGINNING, 0, nullptr, found);
    } else {
        // The slot asked for, whichever property the active sort order
        // compares.
        const ce::PropVal value = SeekValue(record, index);
        const std::uint32_t type =
            mode == 1 ? ce::CEDB_SEEK_VALUEGREATER : ce::CEDB_SEEK_VALUEFIRSTEQUAL;
        error = device_->SeekDatabase(record.Database(), type, 0, &value, found);
    }
    if (error == 0) record.SetCurrentOid(found);
    return error;
}

std::uint32_t HandheldTransport::Read(CHandheldRecord& record) {
    if (IsRegistry(record)) return ReadDeviceRegistry(*device_, record);
    ce::Record props;
    ce::Oid oid = 0;
    if (std::uint32_t error = device_->ReadRecordProps(record.Database(), props, oid)) return error;
    record.SetProperties(props);
    record.SetCurrentOid(oid);
    return 0;
}

std::uint32_t HandheldTransport::Write(CHandheldRecord& record, bool isNew) {
    if (IsRegistry(record)) return WriteDeviceRegistry(*device_, record);
    // Rewriting with no current record would add one instead.
    if (!isNew && record.CurrentOid() == 0) return ce::ERROR_NO_DATA;
    ce::Oid written = 0;
    std::uint32_t error = device_->WriteRecordProps(
        record.Database(), isNew ? 0 : record.CurrentOid(), record.Properties(), written);
    if (error != 0) return error;
    if (written == 0) return ce::ERROR_NO_DATA;
    record.SetCurrentOid(written);
    return 0;
}

std::uint32_t HandheldTransport::Delete(CHandheldRecord& record) {
    if (IsRegistry(record)) return ce::ERROR_INVALID_PARAMETER;
    return device_->DeleteRecord(record.Database(), record.CurrentOid());
}

std::uint32_t HandheldTransport::DeleteAll(CHandheldRecord& record) {
    if (IsRegistry(record)) return ce::ERROR_INVALID_PARAMETER;
    const ce::Handle database = record.Database();
    ce::Oid oid = 0;
    std::uint32_t error = device_->SeekDatabase(database, ce::CEDB_SEEK_BEGINNING, 0, nullptr, oid);
    if (error == ce::ERROR_NO_DATA) return 0;
    if (error != 0) return error;
    for (;;) {
        ce::Record props;
        error = device_->ReadRecordProps(database, props, oid);
        if (error == ce::ERROR_NO_MORE_ITEMS) return 0;
        if (error == 0) error = device_->DeleteRecord(database, oid);
        if (error != 0) return error;
    }
}

}  // namespace tandrel
