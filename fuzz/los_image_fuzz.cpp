// Reads arbitrary text as a los-build image. Every row it accepts fits the
// PgmData field, and every computed row is a line that loads.
#include <cstdint>
#include <string_view>
#include <variant>

#include "protocol/los_line.h"
#include "tools/los_build/los_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = los_build::ParseImage(text);
    if (const auto* rows = std::get_if<std::vector<los_build::ImageRow>>(&parsed)) {
        for (const los_build::ImageRow& row : *rows) {
            if (row.pgmData.empty() || row.pgmData.size() > los_build::kMaxLineChars) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
