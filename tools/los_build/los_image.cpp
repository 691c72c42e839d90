#include "los_image.h"

#include <optional>
#include <sstream>

#include "protocol/hex.h"
#include "protocol/los_line.h"

namespace los_build {
namespace {

// What is wrong with the line being read.
struct Bad {
    std::string message;
};

std::vector<std::string> Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Hex digits of either case, at most `maxDigits` of them.
std::uint32_t HexNumber(std::string_view text, std::size_t maxDigits, const std::string& what) {
    if (text.size() > 2 && (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X")) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > maxDigits) {
        throw Bad{what + " must be 1 to " + std::to_string(maxDigits) + " hex digits"};
    }
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = protocol::HexDigitValue(c);
        if (digit < 0) throw Bad{what + " must be hex digits, got '" + std::string(text) + "'"};
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// "ADDR:TYPE DATA...": the line with its byte count and checksum.
std::string ComputedLine(const std::vector<std::string>& words) {
    const std::string_view head = words[1];
    const std::size_t colon = head.find(':');
    const std::uint32_t address = HexNumber(head.substr(0, colon), 4, "ADDR");
    const std::uint32_t type = HexNumber(head.substr(colon + 1), 2, "TYPE");
    protocol::Bytes data;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::optional<protocol::Bytes> group = protocol::ParseHex(words[i]);
        if (!group) throw Bad{"data must be hex bytes, got '" + words[i] + "'"};
        data.insert(data.end(), group->begin(), group->end());
    }
    if (data.size() > kMaxDataBytes) {
        throw Bad{"at most " + std::to_string(kMaxDataBytes) + " data bytes fit one line"};
    }
    return *protocol::EncodeLosLine(static_cast<std::uint16_t>(address),
                                    static_cast<std::uint8_t>(type), data);
}

// The row of one image line that is not blank.
ImageRow RowOf(const std::vector<std::string>& words) {
    const std::uint32_t platform = HexNumber(words[0], 8, "PLATFORM");
    if (words.size() < 2) throw Bad{"PLATFORM needs a PgmData text or ADDR:TYPE after it"};
    if (words[1].find(':') != std::string::npos) return {platform, ComputedLine(words)};
    if (words.size() > 2) throw Bad{"a PgmData text is one word; use ADDR:TYPE DATA for bytes"};
    if (words[1].size() > kMaxLineChars) throw Bad{"PgmData is longer than 255 characters"};
    return {platform, words[1]};
}

}  // namespace

std::variant<std::vector<ImageRow>, ImageError> ParseImage(std::string_view text) {
    std::vector<ImageRow> rows;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        const std::vector<std::string> words = Words(line.substr(0, line.find('#')));
        if (words.empty()) continue;
        try {
            rows.push_back(RowOf(words));
        } catch (const Bad& bad) {
            return ImageError{number, bad.message};
        }
    }
    return rows;
}

}  // namespace los_build
