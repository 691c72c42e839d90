#pragma once

#include <cstdint>

#include "bytes.h"
#include "lock_command_codes.h"

namespace protocol {

// Access level and group byte of Get/Set Access & Group Levels.
class clsAccessLevelInfo {
  public:
    // Reads a Get Access & Group Levels reply; fewer than 2 bytes change
    // nothing.
    void ParseData(ByteView MsgData);
    // The 2 bytes of Set Access & Group Levels. The failure bits are the
    // lock's to report and are never sent.
    Bytes BuildMessage() const;
    void ClearAll() { *this = clsAccessLevelInfo{}; }

    LockAccessLevels AccessLevel() const { return accessLevel_; }
    void SetAccessLevel(LockAccessLevels v) { accessLevel_ = v; }
    bool MotorFailure() const { return motorFailure_; }
    void SetMotorFailure(bool v) { motorFailure_ = v; }
    bool BatteryFailure() const { return batteryFailure_; }
    void SetBatteryFailure(bool v) { batteryFailure_ = v; }
    bool PINRequired() const { return pinRequired_; }
    void SetPINRequired(bool v) { pinRequired_ = v; }
    bool ManagerOverride() const { return managerOverride_; }
    void SetManagerOverride(bool v) { managerOverride_ = v; }
    std::uint8_t GroupsEnabled() const { return groupsEnabled_; }
    void SetGroupsEnabled(std::uint8_t v) { groupsEnabled_ = v; }

  private:
    LockAccessLevels accessLevel_ = LOCK_ACCESS_LEVEL_UNLOCKED;
    bool motorFailure_ = false;
    bool batteryFailure_ = false;
    bool pinRequired_ = false;
    bool managerOverride_ = false;
    std::uint8_t groupsEnabled_ = 0;
};

}  // namespace protocol
