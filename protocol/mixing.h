#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "bytes.h"
#include "civil_time.h"

namespace protocol {

// The system's mixing function: five input bytes in, two output bytes out.
// Shared by the lock log-on response, the facility communication code and
// the derived facility password.
std::array<std::uint8_t, 2> MixBytes(const std::array<std::uint8_t, 5>& input);

// The 16-bit code that ties locks, handhelds and a facility together,
// computed once from the facility's moment of creation (local time; the
// year does not enter) and its name.
std::uint16_t CommunicationCode(const CivilDateTime& created, std::string_view facilityName);

// The text actually set on a facility file for a typed password: a number
// mixed from the password, then the password, cut to 14 characters.
std::string DerivedPassword(std::string_view password);

// The three log-on response bytes for a seed of lock address (high, low),
// challenge byte and facility code (high, low). Empty when the seed holds
// fewer than five bytes; bytes past the fifth are not used.
Bytes GeneratePIN(ByteView SeedBuffer);

// The log-on seed from a certificate reply: a lock without an address
// (0) is answered with a facility code of 0.
std::array<std::uint8_t, 5> LogonSeed(std::uint16_t lockAddress, std::uint8_t challenge,
                                      std::uint16_t facilityCode);

}  // namespace protocol
