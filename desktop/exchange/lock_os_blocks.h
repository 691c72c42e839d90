#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace tandrel {

// How a network device keeps a lock OS: the OS data records of the whole
// file end to end, cut into blocks numbered 0, 1, 2 ... and the last block
// (2000 bytes or less) numbered 4095.
inline constexpr int kOsBlockBytes = 2000;
inline constexpr std::uint32_t kLastOsBlock = 4095;

struct OsBlock {
    QByteArray data;
    std::uint32_t number = 0;
    bool operator==(const OsBlock&) const = default;
};

// The blocks of `records` (none for no bytes). nullopt when the data would
// need a full block numbered 4095, which the device would take for the
// last one: 4096 blocks (8,192,000 bytes) at most.
std::optional<std::vector<OsBlock>> CutOsBlocks(const QByteArray& records);

}  // namespace tandrel
