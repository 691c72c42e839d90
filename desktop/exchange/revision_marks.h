#pragma once

#include <cstdint>

namespace tandrel {

// A lock's copy of a revision: the revision last queued, with bit 15 set
// until the device reports it delivered.
constexpr std::uint16_t kPendingMark = 0x8000;

inline std::int16_t MarkedPending(std::int16_t source) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(source) | kPendingMark);
}
inline std::int16_t MarkCleared(std::int16_t column) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(column) & ~kPendingMark);
}
// Whether the lock holds the source's revision. Compared without bit 15, so
// a counter that has run past 0x7FFF does not read as pending forever.
inline bool HoldsRevision(std::int16_t column, std::int16_t source) {
    const auto c = static_cast<std::uint16_t>(column);
    return (c & kPendingMark) == 0 && c == (static_cast<std::uint16_t>(source) & ~kPendingMark);
}

}  // namespace tandrel
