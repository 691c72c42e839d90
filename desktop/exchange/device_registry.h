#pragma once

#include "desktop/exchange/handheld_record.h"
#include "platform/ce/ce_api.h"

namespace tandrel {

// The handheld's registry key of the data link, under HKEY_LOCAL_MACHINE.
inline constexpr char kDataLinkKey[] = "Software\\Pellandra\\QUANDRIX Data Link";
// The texts are read into buffers of this many bytes (30 characters and
// the terminator).
inline constexpr std::uint32_t kRegistryTextBytes = 62;

// Reads "Facility", "Version", "Identity" and "VerLockOS" into the device
// registry record (creating the key when missing); a missing value reads 0
// or empty. Fails, changing nothing, when the key cannot be had.
std::uint32_t ReadDeviceRegistry(ce::Api& device, CHandheldRecord& record);

// Sets "Version", "Facility", "Identity" and "VerLockOS" in that order from
// the record; the first set that fails ends the write with its error.
std::uint32_t WriteDeviceRegistry(ce::Api& device, const CHandheldRecord& record);

}  // namespace tandrel
