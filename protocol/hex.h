#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bytes.h"

namespace protocol {

// The value of one hex digit (either case), or -1.
int HexDigitValue(char c);

// "C0 C0 10 7E C1": upper-case two-digit groups separated by single blanks.
std::string ToHex(ByteView bytes);

// Reads blank-separated groups of hex digits ("C0 c0 10" or "C0C010");
// every group must hold an even number of digits. Nothing else is accepted.
std::optional<Bytes> ParseHex(std::string_view text);

}  // namespace protocol
