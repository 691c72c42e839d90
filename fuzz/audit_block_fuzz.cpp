// Decodes arbitrary audit blocks; what decodes must encode back to a block
// that decodes the same.
#include <cstdint>
#include <cstdlib>

#include "protocol/audit_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const protocol::ByteView block(data, size);
    const protocol::AuditBlock decoded = protocol::DecodeAuditBlock(block);
    for (const protocol::AuditItem& item : decoded.items) {
        if (const auto* event = std::get_if<protocol::AuditEvent>(&item)) {
            protocol::AuditEventTime(*event, 2026);
        } else {
            protocol::AuditStatusTime(std::get<protocol::AuditStatus>(item), 2026);
        }
    }
    if (decoded.items.empty()) return 0;
    const protocol::Bytes again = protocol::EncodeAuditBlock(decoded.firstKey, decoded.items);
    const protocol::AuditBlock redecoded = protocol::DecodeAuditBlock(again);
    if (redecoded.firstKey != decoded.firstKey || redecoded.items != decoded.items) std::abort();
    return 0;
}
