// Reads arbitrary text as a lock OS image line: decoding, the checksum rule
// with and without its platform exemption, and the version. A line that
// decodes must encode back to exactly the same text.
#include <cstdint>
#include <string_view>

#include "protocol/los_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto checked = protocol::LosRecordOf(text, 0x00010000);
    const auto exempt = protocol::LosRecordOf(text, 0x00020000);
    const auto line = protocol::DecodeLosLine(text);
    if (!line) {
        if (checked || exempt) __builtin_trap();
        return 0;
    }
    if (!exempt || exempt->size() != line->data.size() + 3) __builtin_trap();
    if (checked && !protocol::LosChecksumMatches(*line) &&
        line->recordType != protocol::kLosUncheckedRecordType) {
        __builtin_trap();
    }
    if (protocol::EncodeLosLine(*line) != text) __builtin_trap();
    if (const auto version = protocol::LosVersionOf(*line)) {
        protocol::LosVersionText(*version);
    }
    return 0;
}
