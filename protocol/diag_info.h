#pragma once

#include <cstdint>

#include "access_level_info.h"
#include "bytes.h"

namespace protocol {

// What diagnostics learn of a lock: its versions, its access level and the
// state of its drive.
class clsDiagInfo {
  public:
    // Reads the reply to Get Access & Group Levels (36), Get Version Number
    // (38) or Get Drive Status (40); other types, and replies shorter than
    // their layout, change nothing.
    void ParseData(std::int16_t MsgType, ByteView MsgData);

    std::uint16_t HardwareVersion() const { return hardwareVersion_; }
    std::uint8_t FirmwareVersionMajor() const { return firmwareMajor_; }
    std::uint8_t FirmwareVersionMinor() const { return firmwareMinor_; }
    std::uint16_t FirmwareVersion() const {
        return static_cast<std::uint16_t>(firmwareMajor_ * 256 + firmwareMinor_);
    }

    std::uint8_t DriveAcknowledgeCode() const { return driveAcknowledgeCode_; }
    std::uint16_t SupplyVoltage() const { return supplyVoltage_; }
    std::uint16_t MotorCurrent() const { return motorCurrent_; }
    std::uint16_t MotorVoltage() const { return motorVoltage_; }
    std::uint8_t DriveStatus() const { return driveStatus_; }
    std::uint8_t DriveSamples() const { return driveFlags_ & 0x2F; }
    bool DriveType() const { return driveFlags_ & 0x40; }
    bool DriveFailure() const { return driveFlags_ & 0x80; }
    std::uint8_t DriveJams() const { return driveJams_; }

    LockAccessLevels AccessLevel() const { return accessLevel_.AccessLevel(); }
    bool MotorFailure() const { return accessLevel_.MotorFailure(); }
    bool BatteryFailure() const { return accessLevel_.BatteryFailure(); }
    bool PINRequired() const { return accessLevel_.PINRequired(); }
    bool ManagerOverride() const { return accessLevel_.ManagerOverride(); }
    std::uint8_t GroupsEnabled() const { return accessLevel_.GroupsEnabled(); }

  private:
    clsAccessLevelInfo accessLevel_;
    std::uint16_t hardwareVersion_ = 0;
    std::uint8_t firmwareMajor_ = 0;
    std::uint8_t firmwareMinor_ = 0;
    std::uint8_t driveAcknowledgeCode_ = 0;
    std::uint16_t supplyVoltage_ = 0;
    std::uint16_t motorCurrent_ = 0;
    std::uint16_t motorVoltage_ = 0;
    std::uint8_t driveStatus_ = 0;
    std::uint8_t driveFlags_ = 0;
    std::uint8_t driveJams_ = 0;
};

}  // namespace protocol
