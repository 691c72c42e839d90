#include "frame.h"

#include "lock_checksum.h"

namespace protocol {

Bytes BuildFrame(std::size_t bofCount, std::optional<std::uint8_t> command, ByteView data) {
    Bytes frame;
    frame.reserve(bofCount + 3 + data.size() * 2);
    frame.assign(bofCount, kFrameBOF);
    std::uint8_t checksum = 0;
    if (command) {
        frame.push_back(*command);
        checksum = LockChecksumStep(checksum, *command);
    }
    for (std::uint8_t byte : data) {
        checksum = LockChecksumStep(checksum, byte);
        if ((byte & 0xF0) == 0xC0) {
            frame.push_back(kFrameEscape);
            frame.push_back(static_cast<std::uint8_t>(byte ^ 0x20));
        } else {
            frame.push_back(byte);
        }
    }
    frame.push_back(checksum);
    frame.push_back(kFrameEOF);
    return frame;
}

}  // namespace protocol
