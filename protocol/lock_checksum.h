#pragma once

#include <array>
#include <cstdint>

#include "bytes.h"

namespace protocol {

namespace detail {
// Reflected CRC-8, polynomial x^8 + x^5 + x^4 + 1, one table entry per
// (checksum XOR byte).
constexpr std::array<std::uint8_t, 256> MakeCrc8Table() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        auto c = static_cast<std::uint8_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? static_cast<std::uint8_t>((c >> 1) ^ 0x8C)
                        : static_cast<std::uint8_t>(c >> 1);
        }
        table[i] = c;
    }
    return table;
}
inline constexpr std::array<std::uint8_t, 256> kCrc8Table = MakeCrc8Table();
}  // namespace detail

// One step of the frame checksum: the CRC-8 of the byte, then a value in
// 0xC0..0xCF is moved to 0xE0..0xEF so the checksum never looks like a
// framing byte. The adjusted value is what the next step starts from.
constexpr std::uint8_t LockChecksumStep(std::uint8_t checksum, std::uint8_t byte) {
    std::uint8_t c = detail::kCrc8Table[checksum ^ byte];
    return (c & 0xF0) == 0xC0 ? static_cast<std::uint8_t>(c | 0x20) : c;
}

// Checksum of a whole block, starting from 0.
constexpr std::uint8_t LockChecksum(ByteView bytes) {
    std::uint8_t c = 0;
    for (std::uint8_t b : bytes) c = LockChecksumStep(c, b);
    return c;
}

}  // namespace protocol
