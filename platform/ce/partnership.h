#pragma once

#include <QSettings>
#include <QString>

#include <memory>

#include "platform/ce/cradle_session.h"

namespace ce {

// What the desktop keeps about a handheld it has been linked with.
struct Partnership {
    QString displayName;
    QString description;
};

// The settings keys: the cradle's store path, and one group per partnership
// named by the device id in hex ("Partnerships/0A1B2C3D").
inline constexpr char kCradleStoreKey[] = "Cradle/StorePath";
inline constexpr char kPartnershipsGroup[] = "Partnerships";
// Each text is read into a buffer of this many bytes.
inline constexpr int kPartnershipTextBytes = 255;
// The name of a handheld whose registry names none.
inline constexpr char kDefaultDeviceName[] = "Handheld";

// Connects to the handheld in the cradle configured in `settings` and makes
// sure it has a partnership. nullptr (with the error) when no cradle is
// configured (ERROR_FILE_NOT_FOUND) or the handheld cannot be reached.
std::unique_ptr<CradleSession> ConnectCradle(QSettings& settings, std::uint32_t& error,
                                             int waitMs = CradleSession::kConnectWaitMs);

// A handheld seen for the first time gets a partnership, named and
// described as its registry says. Returns false when the device id cannot
// be read.
bool EnsurePartnership(QSettings& settings, CradleSession& session);

// The partnership of the handheld in the cradle (CeSvcOpen of the device's
// partnership, "DisplayName" and "Description"). False, with both texts
// empty, when either value is missing.
bool ReadPartnership(QSettings& settings, CradleSession& session, Partnership& partnership);

}  // namespace ce
