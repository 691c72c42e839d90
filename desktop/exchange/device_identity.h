#pragma once

#include "desktop/exchange/data_exchange.h"

namespace tandrel {

// The device registry record through the transport; 0 or the device error.
std::uint32_t ReadIdentity(RecordTransport& transport, DeviceIdentity& identity);
std::uint32_t WriteIdentity(RecordTransport& transport, const DeviceIdentity& identity);

}  // namespace tandrel
