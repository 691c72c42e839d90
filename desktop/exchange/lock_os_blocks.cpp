#include "desktop/exchange/lock_os_blocks.h"

namespace tandrel {

std::optional<std::vector<OsBlock>> CutOsBlocks(const QByteArray& records) {
    const qsizetype fullBlocks = records.isEmpty() ? 0 : (records.size() - 1) / kOsBlockBytes;
    if (fullBlocks > static_cast<qsizetype>(kLastOsBlock)) return std::nullopt;
    std::vector<OsBlock> blocks;
    for (qsizetype i = 0; i < fullBlocks; ++i) {
        blocks.push_back(
            {records.mid(i * kOsBlockBytes, kOsBlockBytes), static_cast<std::uint32_t>(i)});
    }
    if (!records.isEmpty())
        blocks.push_back({records.mid(fullBlocks * kOsBlockBytes), kLastOsBlock});
    return blocks;
}

}  // namespace tandrel
