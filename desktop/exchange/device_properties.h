#pragma once

#include <QString>

#include <map>
#include <memory>

#include "desktop/data/facility_states.h"
#include "desktop/data/prompter.h"
#include "platform/dao/database.h"

namespace tandrel {

// The highest device key, and the lengths of the device row's texts.
constexpr int kLastDeviceKey = 65534;
constexpr int kDeviceNameLength = 20;
constexpr int kDeviceTextLength = 32;  // description, assigned to, IP address
constexpr int kDeviceVersionLength = 10;

// The "Mobile Device Properties" sheet without its widgets: the device's
// own values, its network address, and which locks it serves. Saving
// links the locks added, unlinks at once the locks taken off that the
// device never received, and leaves the others pending removal until the
// next exchange.
class DevicePropertiesSheet {
  public:
    // An existing device; nullptr when its row is missing.
    static std::unique_ptr<DevicePropertiesSheet> Open(dao::Database& db, Prompter& prompter,
                                                       int deviceKey);
    // A new network device (saved as a row first).
    static std::unique_ptr<DevicePropertiesSheet> NewNetworkDevice(dao::Database& db,
                                                                   Prompter& prompter);

    int DeviceKey() const { return deviceKey_; }
    // A device pending removal is shown without edits.
    bool ReadOnly() const { return recordState_ == kDevicePendingRemoval; }

    QString name, description, assignedTo, version;
    QString ipAddress;
    int port = 0;
    // Set when the network page was changed.
    bool networkChanged = false;

    // The lock's Device Link State as the sheet holds it (0: not on this
    // device).
    int LockState(int lockKey) const;
    // False for a lock the facility lacks or another device serves.
    bool AddLock(int lockKey);
    void RemoveLock(int lockKey);

    // False after the message of a failure: a new device without a name or
    // with one another device has, a network address or port that cannot
    // be reached, a database error.
    bool Save();

  private:
    DevicePropertiesSheet(dao::Database& db, Prompter& prompter) : db_(db), prompter_(prompter) {}
    void LoadLocks();
    bool ValuesFit();
    bool AddDeviceRow();
    bool SaveLocks();

    struct LockLink {
        int stored = kLinkNotEnrolled;   // state as read
        int draft = kLinkNotEnrolled;    // state as the sheet holds it
        int earlier = kLinkNotEnrolled;  // state before a removal was asked for
    };

    dao::Database& db_;
    Prompter& prompter_;
    int deviceKey_ = 0;
    int recordState_ = kDeviceDirectoryPending;
    bool isNew_ = false;
    std::map<int, LockLink> locks_;
};

}  // namespace tandrel
