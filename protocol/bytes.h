#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace protocol {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

}  // namespace protocol

namespace protocol {

// Payload numbers are big-endian. Callers check the length first.
inline std::uint16_t ReadBigEndian16(ByteView data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
}
inline std::uint32_t ReadBigEndian32(ByteView data, std::size_t at) {
    return std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 |
           std::uint32_t{data[at + 2]} << 8 | data[at + 3];
}

}  // namespace protocol
