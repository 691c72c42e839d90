#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bytes.h"

namespace protocol {

// One line of a lock OS image as the OS files carry it: upper-case hex
// pairs "NNAAAATT<data>CC" (byte count n, address high and low, record
// type, n data bytes, checksum).
struct LosLine {
    std::uint8_t addressHigh = 0;
    std::uint8_t addressLow = 0;
    std::uint8_t recordType = 0;
    Bytes data;  // the byte count is data.size()
    std::uint8_t checksum = 0;
};

// Lines of this record type, and every line of a platform with this bit,
// are loaded without their checksum being checked.
inline constexpr std::uint8_t kLosUncheckedRecordType = 0xA5;
inline constexpr std::uint32_t kLosUncheckedPlatformBit = 0x20000;

// Decodes a line. Anything but upper-case hex digits, or a length other
// than 10 + 2n for the byte count n, is refused rather than read as wrong
// bytes.
std::optional<LosLine> DecodeLosLine(std::string_view text);

// Whether the byte count, address, record type, data and checksum add up to
// 0 modulo 256.
bool LosChecksumMatches(const LosLine& line);
// The checksum that makes `line` match.
std::uint8_t LosChecksumFor(const LosLine& line);
// Whether the line may be loaded: its checksum matches or it is exempt.
bool LosLineAccepted(const LosLine& line, std::uint32_t platformRcd);

// The OS data record the devices store: n, address high, address low, then
// the n data bytes.
Bytes LosDataRecord(const LosLine& line);
// Decoding and the checksum rule in one: the OS data record of an accepted
// line, nullopt for a checksum mismatch (which covers undecodable text).
std::optional<Bytes> LosRecordOf(std::string_view text, std::uint32_t platformRcd);

// The text of a line as given (the checksum is not recomputed); nullopt
// when the data does not fit a byte count.
std::optional<std::string> EncodeLosLine(const LosLine& line);
// A line with its checksum computed.
std::optional<std::string> EncodeLosLine(std::uint16_t address, std::uint8_t recordType,
                                         ByteView data);

// The OS version, carried in the first two data bytes of an image's first
// line.
struct LosVersion {
    unsigned major = 0;
    unsigned minor = 0;
    bool operator==(const LosVersion&) const = default;
};
// nullopt when the line carries fewer than two data bytes.
std::optional<LosVersion> LosVersionOf(const LosLine& firstLine);
// "3.05": major, a point, minor with at least two digits.
std::string LosVersionText(LosVersion version);

}  // namespace protocol
