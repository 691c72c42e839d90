#pragma once

#include <cstdint>
#include <memory>

#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"

namespace tandrel {

// The device rows, found by key.
class DeviceRows : public CMobileDevicesRecordset {
  public:
    explicit DeviceRows(dao::Database& db);
    // Makes the device's row current; false when there is none.
    bool Find(int deviceKey);
};

// The locks a device serves (LocksToDeviceQuery), read.
std::unique_ptr<CLocksToDeviceQuerySet> LocksOfDevice(dao::Database& db, int deviceKey);

// The facility's communication code, as device registries hold it.
std::uint32_t FacilityCommCode(dao::Database& db);

}  // namespace tandrel
