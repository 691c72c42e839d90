#pragma once

#include <QString>

#include <cstdint>
#include <functional>

#include "desktop/data/prompter.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/lock_os_install.h"

namespace tandrel {

// The Lock OS Manager without its dialog: the connected device's installed
// OS version, Install and Remove, and the version bookkeeping in the
// device's registry. The device comes connected and is left connected:
// ending the connection is its owner's part.
class CLockOsManager {
  public:
    // Tells whether a device identity is one of the facility's devices.
    using DeviceCheck = std::function<bool(std::uint32_t identity)>;

    // `commCode`: the open facility's communication code; `isEnrolled`,
    // when given, must also accept the device's identity.
    CLockOsManager(const LockOsDevice& device, std::int32_t commCode, Prompter& prompter,
                   DeviceCheck isEnrolled = {});

    // Reads the device's registry. False, with the reason shown, when it
    // cannot be read or the device is not enrolled in this facility.
    bool Open();

    // "VerLockOS": the version text of the installed OS, empty for none.
    const QString& InstalledVersion() const { return installed_; }
    // The line the dialog shows about it.
    QString InstalledText() const;

    // Installs the OS file at `path` and records its version. A failure
    // after the device's old OS was deleted removes what was copied and
    // records that no OS is installed.
    bool Install(const QString& path);
    // Asks first; true when the OS was removed and that recorded.
    bool Remove();

  private:
    // Writes VerLockOS; a failure is shown.
    bool RecordVersion(const QString& version);

    std::uint32_t commCode_;
    Prompter& prompter_;
    DeviceCheck isEnrolled_;
    LockOsInstaller installer_;
    CHandheldRecord registry_;
    QString installed_;
};

}  // namespace tandrel
