#include "los_line.h"

#include <cstdio>

namespace protocol {
namespace {

constexpr std::size_t kFixedChars = 10;  // count, address, type, checksum
constexpr char kDigits[] = "0123456789ABCDEF";

// Only '0'-'9' and 'A'-'F': lower-case digits are not part of the format.
int UpperHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::uint8_t> ByteAt(std::string_view text, std::size_t at) {
    const int high = UpperHexValue(text[at]);
    const int low = UpperHexValue(text[at + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high << 4 | low);
}

void AppendByte(std::string& out, std::uint8_t value) {
    out += kDigits[value >> 4];
    out += kDigits[value & 0xF];
}

unsigned SumWithoutChecksum(const LosLine& line) {
    unsigned sum = static_cast<unsigned>(line.data.size()) + line.addressHigh + line.addressLow +
                   line.recordType;
    for (std::uint8_t b : line.data) sum += b;
    return sum;
}

}  // namespace

std::optional<LosLine> DecodeLosLine(std::string_view text) {
    if (text.size() < kFixedChars) return std::nullopt;
    const std::optional<std::uint8_t> count = ByteAt(text, 0);
    if (!count || text.size() != kFixedChars + 2u * *count) return std::nullopt;
    Bytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const std::optional<std::uint8_t> value = ByteAt(text, at);
        if (!value) return std::nullopt;
        bytes.push_back(*value);
    }
    LosLine line;
    line.addressHigh = bytes[1];
    line.addressLow = bytes[2];
    line.recordType = bytes[3];
    line.data.assign(bytes.begin() + 4, bytes.end() - 1);
    line.checksum = bytes.back();
    return line;
}

bool LosChecksumMatches(const LosLine& line) {
    return (SumWithoutChecksum(line) + line.checksum) % 256 == 0;
}

std::uint8_t LosChecksumFor(const LosLine& line) {
    return static_cast<std::uint8_t>(256 - SumWithoutChecksum(line) % 256);
}

bool LosLineAccepted(const LosLine& line, std::uint32_t platformRcd) {
    return line.recordType == kLosUncheckedRecordType ||
           (platformRcd & kLosUncheckedPlatformBit) != 0 || LosChecksumMatches(line);
}

Bytes LosDataRecord(const LosLine& line) {
    Bytes record;
    record.reserve(line.data.size() + 3);
    record.push_back(static_cast<std::uint8_t>(line.data.size()));
    record.push_back(line.addressHigh);
    record.push_back(line.addressLow);
    record.insert(record.end(), line.data.begin(), line.data.end());
    return record;
}

std::optional<Bytes> LosRecordOf(std::string_view text, std::uint32_t platformRcd) {
    const std::optional<LosLine> line = DecodeLosLine(text);
    if (!line || !LosLineAccepted(*line, platformRcd)) return std::nullopt;
    return LosDataRecord(*line);
}

std::optional<std::string> EncodeLosLine(const LosLine& line) {
    if (line.data.size() > 0xFF) return std::nullopt;
    std::string text;
    text.reserve(kFixedChars + 2 * line.data.size());
    AppendByte(text, static_cast<std::uint8_t>(line.data.size()));
    AppendByte(text, line.addressHigh);
    AppendByte(text, line.addressLow);
    AppendByte(text, line.recordType);
    for (std::uint8_t b : line.data) AppendByte(text, b);
    AppendByte(text, line.checksum);
    return text;
}

std::optional<std::string> EncodeLosLine(std::uint16_t address, std::uint8_t recordType,
                                         ByteView data) {
    LosLine line;
    line.addressHigh = static_cast<std::uint8_t>(address >> 8);
    line.addressLow = static_cast<std::uint8_t>(address & 0xFF);
    line.recordType = recordType;
    line.data.assign(data.begin(), data.end());
    line.checksum = LosChecksumFor(line);
    return EncodeLosLine(line);
}

std::optional<LosVersion> LosVersionOf(const LosLine& firstLine) {
    if (firstLine.data.size() < 2) return std::nullopt;
    return LosVersion{firstLine.data[0], firstLine.data[1]};
}

std::string LosVersionText(LosVersion version) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u", version.major, version.minor);
    return text;
}

}  // namespace protocol
