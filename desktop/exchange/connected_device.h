#pragma once

#include <QString>

#include <memory>

#include "desktop/data/prompter.h"
#include "desktop/exchange/record_transport.h"
#include "platform/ce/partnership.h"

namespace tandrel {

// Which device an exchange should reach: a network device at its address,
// or the handheld in the cradle.
struct DeviceTarget {
    bool network = false;
    QString name;
    QString ipAddress;
    int port = 0;
};

// A device reached for an exchange. The link ends when the object goes.
class ConnectedDevice {
  public:
    virtual ~ConnectedDevice() = default;

    virtual bool IsNetwork() const = 0;
    virtual RecordTransport& Transport() = 0;
    // The handheld's CE calls; nullptr on a network device.
    virtual ce::Api* Handheld() = 0;
    // The partnership the desktop keeps for a handheld; false when there
    // is none (always on a network device).
    virtual bool ReadPartnership(ce::Partnership& partnership) = 0;
};

// Reaches devices. A failure is reported by the caller; the connector shows
// only what belongs to the link itself (a network device that would not
// let go of its earlier connection).
class DeviceConnector {
  public:
    virtual ~DeviceConnector() = default;
    virtual std::unique_ptr<ConnectedDevice> Connect(const DeviceTarget& target,
                                                     Prompter& prompter) = 0;
};

}  // namespace tandrel
