#pragma once

#include <QString>

#include <cstdint>

namespace tandrel {

// The PIN a user of an autocode group has on a given date: computed from
// the facility's communication code, the user's ID digits and the packed
// date with the mixing function, `pinLength` decimal digits long.
QString AutocodePin(std::uint16_t communicationCode, const QString& idDigits,
                    std::uint16_t packedDate, int pinLength);

}  // namespace tandrel
