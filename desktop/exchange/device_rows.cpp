#include "desktop/exchange/device_rows.h"

namespace tandrel {

DeviceRows::DeviceRows(dao::Database& db) : CMobileDevicesRecordset(db) {
    SetCurrentIndex(QStringLiteral("PrimaryKey"));
}

bool DeviceRows::Find(int deviceKey) {
    return FindByKey(deviceKey);
}

std::unique_ptr<CLocksToDeviceQuerySet> LocksOfDevice(dao::Database& db, int deviceKey) {
    auto locks = std::make_unique<CLocksToDeviceQuerySet>(db);
    locks->SetParam(QStringLiteral("Device"), QVariant(deviceKey));
    locks->Requery();
    return locks;
}

std::uint32_t FacilityCommCode(dao::Database& db) {
    CFacilityPropertiesRecordset facility(db);
    facility.MoveFirst();
    return static_cast<std::uint32_t>(facility.m_CommCode);
}

}  // namespace tandrel
