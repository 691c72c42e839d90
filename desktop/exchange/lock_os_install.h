#pragma once

#include <QString>

#include <cstdint>

#include "desktop/data/prompter.h"
#include "desktop/exchange/handheld_transport.h"
#include "desktop/exchange/network_transport.h"
#include "protocol/los_line.h"

namespace tandrel {

// The device a lock OS goes to: the transport its records take and, for a
// handheld in the cradle, its CE calls, through which TDXLOS is deleted and
// created.
struct LockOsDevice {
    RecordTransport* transport = nullptr;
    ce::Api* handheld = nullptr;  // nullptr: a network device

    static LockOsDevice Handheld(HandheldTransport& transport) {
        return {&transport, &transport.Device()};
    }
    static LockOsDevice Network(NetworkTransport& transport) { return {&transport, nullptr}; }
};

struct LockOsInstallResult {
    bool ok = false;
    protocol::LosVersion version;
    // Whether the device's earlier OS had been deleted: after a failure the
    // device then holds no OS or a partial one.
    bool deviceChanged = false;
};

// Copies a lock OS file onto a device and removes it again. Failures are
// shown here (their text with the information icon, engine errors with
// their description and the stop icon), with the progress window closed
// first.
class LockOsInstaller {
  public:
    LockOsInstaller(const LockOsDevice& device, Prompter& prompter)
        : device_(device), prompter_(prompter) {}

    // Reads the file, replaces the device's OS data with its lines and
    // returns the version of the OS installed.
    LockOsInstallResult Install(const QString& path);
    // Deletes the device's OS data: 0, or the device's error.
    std::uint32_t Remove();

  private:
    LockOsDevice device_;
    Prompter& prompter_;
};

// Deletes TDXLOS where it exists: 0, or the device's error.
std::uint32_t DeleteLockOsDatabase(ce::Api& device);

}  // namespace tandrel
