#include "desktop/exchange/device_identity.h"

#include "desktop/exchange/device_rows.h"
#include "desktop/exchange/handheld_record.h"

namespace tandrel {

std::uint32_t ReadIdentity(RecordTransport& transport, DeviceIdentity& identity) {
    CHandheldRecord registry(RecordKind::DeviceRegistry, transport);
    if (!registry.Seek(0) || !registry.Read()) return registry.LastError();
    identity.facility = registry.GetUI4(REG_DATA_OFFSET_FACILITY);
    identity.identity = registry.GetUI4(REG_DATA_OFFSET_IDENTITY);
    identity.version = registry.GetString(REG_DATA_OFFSET_VERSION);
    identity.lockOsVersion = registry.GetString(REG_DATA_OFFSET_VERSION_LOS);
    return 0;
}

std::uint32_t WriteIdentity(RecordTransport& transport, const DeviceIdentity& identity) {
    CHandheldRecord registry(RecordKind::DeviceRegistry, transport);
    registry.SetUI4(REG_DATA_OFFSET_FACILITY, identity.facility);
    registry.SetUI4(REG_DATA_OFFSET_IDENTITY, identity.identity);
    registry.SetString(REG_DATA_OFFSET_VERSION, identity.version);
    registry.SetString(REG_DATA_OFFSET_VERSION_LOS, identity.lockOsVersion);
    return registry.Write(false) ? 0 : registry.LastError();
}

int EnrolledDeviceKey(dao::Database& db, const DeviceIdentity& identity) {
    if (identity.facility == 0 || identity.facility != FacilityCommCode(db)) return 0;
    if (identity.identity == 0 || identity.identity > 0xFFFF) return 0;
    DeviceRows devices(db);
    return devices.Find(static_cast<int>(identity.identity)) ? devices.m_HPCKey : 0;
}

}  // namespace tandrel
