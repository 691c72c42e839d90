#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "bytes.h"

namespace protocol {

// The handheld's side of the infrared link: frames always start with five
// BOFs, always carry the command byte and are never encrypted; replies are
// collected in a ring and parsed whole once their end byte has arrived.

// A request frame for the infrared link.
Bytes BuildIrFrame(std::uint8_t command, ByteView data);

enum IrParseResult : int {
    IR_PARSE_OK = 0,
    IR_PARSE_FRAMING_ERROR = 2,
    IR_PARSE_CHECK_ERROR = 3,
};

// The receive ring. One thread stores the bytes as they arrive; the
// exchange is half-duplex, so the thread that parses does so only after the
// end byte arrived and nothing more is on the way.
class IrReceiveRing {
  public:
    static constexpr std::size_t kSize = 512;

    // Stores one received byte and returns whether it was an end byte.
    bool Store(std::uint8_t byte);
    void Reset() { writeIndex_ = 0; }
    std::size_t WriteIndex() const { return writeIndex_; }

    // Reads the reply from position 0 and sets the write index back to 0.
    // On IR_PARSE_OK, `reply` holds the reply code followed by its data.
    IrParseResult ParseReply(Bytes& reply);

  private:
    std::array<std::uint8_t, kSize> bytes_{};
    std::atomic<std::size_t> writeIndex_{0};
};

}  // namespace protocol
