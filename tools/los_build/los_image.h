#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace los_build {

// One row of the lock OS file to build.
struct ImageRow {
    std::uint32_t platformRcd = 0;
    std::string pgmData;
    bool operator==(const ImageRow&) const = default;
};

// What was wrong with the image, and on which line (1-based).
struct ImageError {
    std::size_t line = 0;
    std::string message;
};

// The longest PgmData text the file's field holds, and so the most data
// bytes a computed line can carry.
inline constexpr std::size_t kMaxLineChars = 255;
inline constexpr std::size_t kMaxDataBytes = (kMaxLineChars - 10) / 2;

// Reads an image: one row per line, either
//   PLATFORM PGMDATA            (the line text, taken exactly as written)
//   PLATFORM ADDR:TYPE [DATA]   (byte count and checksum computed)
// with PLATFORM in hex, ADDR four hex digits, TYPE two, DATA hex bytes in
// groups of any even length. '#' starts a comment; blank lines are skipped.
std::variant<std::vector<ImageRow>, ImageError> ParseImage(std::string_view text);

}  // namespace los_build
