#pragma once

#include <cstdint>

#include "bytes.h"

namespace protocol {

// Why the frame receiver discarded a frame or a byte. The peer is never told
// (its time-out covers a lost frame), so these are what a link counts and a
// person reading a capture needs.
enum LockFrameDropReason : int {
    // The check byte differs from the checksum of the frame's bytes.
    LOCK_FRAME_DROP_BAD_CHECK = 0,
    // The frame grew past clsLockParser::kMaxFrameBytes without an end.
    LOCK_FRAME_DROP_OVERSIZE,
    // A BOF arrived after the frame had bytes, and started a new frame.
    LOCK_FRAME_DROP_RESTARTED,
    // A byte outside any frame; an escape byte among them still applies to
    // the first byte of the next frame.
    LOCK_FRAME_DROP_STRAY_BYTE,
    // An EOF before the frame held a byte besides its check byte; the EOF is
    // ignored and the frame stays open.
    LOCK_FRAME_DROP_EMPTY_END,
};
inline constexpr int kLockFrameDropReasons = 5;

// One discarded frame or byte, as the receiver tells it.
struct LockFrameDrop {
    LockFrameDropReason reason;
    // What was discarded, unescaped: the frame's command and data bytes
    // (after a restart also its last byte, not yet known to be the check
    // byte), or the discarded byte. Valid only during the call.
    ByteView bytes{};
    // For a bad check byte: the one received and the one the bytes give.
    std::uint8_t checkByte = 0;
    std::uint8_t expectedCheck = 0;
};

}  // namespace protocol
