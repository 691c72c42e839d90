#pragma once

#include "desktop/exchange/data_exchange.h"

namespace tandrel {

// The device registry record through the transport; 0 or the device error.
std::uint32_t ReadIdentity(RecordTransport& transport, DeviceIdentity& identity);
std::uint32_t WriteIdentity(RecordTransport& transport, const DeviceIdentity& identity);

// The device key a registry names when the device is enrolled in this
// facility: Facility is the facility's communication code and Identity the
// key of one of its devices. 0 for any other device.
int EnrolledDeviceKey(dao::Database& db, const DeviceIdentity& identity);

}  // namespace tandrel
