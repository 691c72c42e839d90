#include "diag_info.h"

#include "lock_command_codes.h"

namespace protocol {

void clsDiagInfo::ParseData(std::int16_t MsgType, ByteView MsgData) {
    switch (MsgType) {
        case LOCK_COMMAND_CODE_GET_LEVEL: accessLevel_.ParseData(MsgData); break;
        case LOCK_COMMAND_CODE_GET_VERSION:
            if (MsgData.size() < 4) return;
            hardwareVersion_ = ReadBigEndian16(MsgData, 0);
            firmwareMajor_ = MsgData[2];
            firmwareMinor_ = MsgData[3];
            break;
        case LOCK_COMMAND_CODE_GET_DRIVE_STAT:
            if (MsgData.size() < 10) return;
            driveAcknowledgeCode_ = MsgData[0];
            supplyVoltage_ = ReadBigEndian16(MsgData, 1);
            motorCurrent_ = ReadBigEndian16(MsgData, 3);
            motorVoltage_ = ReadBigEndian16(MsgData, 5);
            driveStatus_ = MsgData[7];
            driveFlags_ = MsgData[8];
            driveJams_ = MsgData[9];
            break;
        default: break;
    }
}

}  // namespace protocol
