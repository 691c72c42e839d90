#include "ir_frame.h"

#include "frame.h"
#include "lock_checksum.h"

namespace protocol {
namespace {
constexpr std::size_t kIrBOFCount = 5;
}

Bytes BuildIrFrame(std::uint8_t command, ByteView data) {
    return BuildFrame(kIrBOFCount, command, data);
}

bool IrReceiveRing::Store(std::uint8_t byte) {
    std::size_t at = writeIndex_;
    bytes_[at] = byte;
    writeIndex_ = (at + 1) % kSize;
    return byte == kFrameEOF;
}

IrParseResult IrReceiveRing::ParseReply(Bytes& reply) {
    Reset();
    Bytes payload;
    bool started = false;
    bool ended = false;
    bool escape = false;
    for (std::uint8_t byte : bytes_) {
        if (byte == kFrameBOF) {
            started = true;
            payload.clear();
        } else if (byte == kFrameEOF) {
            ended = true;
            break;
        } else if (byte == kFrameEscape) {
            escape = true;
        } else {
            payload.push_back(escape ? static_cast<std::uint8_t>(byte ^ 0x20) : byte);
            escape = false;
        }
    }
    // Without an end byte the ring holds no complete reply.
    if (!started || !ended || payload.size() < 2 || payload.size() - 1 >= kSize) {
        return IR_PARSE_FRAMING_ERROR;
    }
    std::uint8_t check = payload.back();
    payload.pop_back();
    if (LockChecksum(payload) != check) return IR_PARSE_CHECK_ERROR;
    reply = std::move(payload);
    return IR_PARSE_OK;
}

}  // namespace protocol
