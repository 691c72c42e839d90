#include "access_level_info.h"

namespace protocol {

void clsAccessLevelInfo::ParseData(ByteView MsgData) {
    if (MsgData.size() < 2) return;
    std::uint8_t flags = MsgData[0];
    accessLevel_ = static_cast<LockAccessLevels>(flags & 0x0F);
    motorFailure_ = flags & 0x10;
    batteryFailure_ = flags & 0x20;
    pinRequired_ = flags & 0x40;
    managerOverride_ = flags & 0x80;
    groupsEnabled_ = MsgData[1];
}

Bytes clsAccessLevelInfo::BuildMessage() const {
    auto level = static_cast<std::uint8_t>((accessLevel_ & 0x0F) | (pinRequired_ ? 0x40 : 0) |
                                           (managerOverride_ ? 0x80 : 0));
    return {level, groupsEnabled_};
}

}  // namespace protocol
