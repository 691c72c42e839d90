#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bytes.h"

namespace protocol {

using CipherKey = std::array<std::uint8_t, 16>;

// The key text of the record link: 16 two-digit hex values separated by
// single blanks (47 characters). Anything else is no key.
std::optional<CipherKey> ParseCipherKey(std::string_view keyText);

// AES-128 in ECB mode without padding: the text (Windows-1252, one byte per
// character) zero-filled to a multiple of 16 bytes. An empty text gives no
// bytes. nullopt when the cipher fails.
std::optional<Bytes> EncryptText(std::string_view utf8Text, const CipherKey& key);

// The reverse: the data must be a whole number of blocks; the text ends at
// the first NUL. nullopt when the data are not whole blocks or the cipher
// fails.
std::optional<std::string> DecryptText(ByteView data, const CipherKey& key);

}  // namespace protocol
