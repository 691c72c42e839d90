#pragma once

#include <cstdint>
#include <optional>

#include "bytes.h"

namespace protocol {

inline constexpr std::uint8_t kFrameBOF = 0xC0;
inline constexpr std::uint8_t kFrameEOF = 0xC1;
inline constexpr std::uint8_t kFrameEscape = 0xCE;

// A lock frame: `bofCount` BOFs, the command byte when there is one (never
// escaped), the data with 0xC0..0xCF escaped as 0xCE and the byte XOR 0x20,
// the checksum over command and unescaped data, EOF.
Bytes BuildFrame(std::size_t bofCount, std::optional<std::uint8_t> command, ByteView data);

}  // namespace protocol
