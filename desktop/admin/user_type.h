#pragma once

#include <QString>

#include <cstdint>

#include "desktop/data/facility_states.h"

namespace tandrel {

// The user type byte of an enrolment: type code in bits 5-6, rights in the
// low bits. While a page edits an enrolment, bit 7 carries "Use Type
// Defaults".
enum UserTypeCode : int { kGeneral = 0, kManager = 1, kProgrammer = 2, kService = 3 };

inline constexpr std::uint8_t kUseDefaultsBit = 0x80;

inline int TypeCodeOf(int typeByte) {
    return (typeByte >> 5) & 3;
}
inline bool IsProgrammerByte(int typeByte) {
    return TypeCodeOf(typeByte) == kProgrammer;
}
inline std::uint8_t TypeByte(int typeCode, int rights) {
    return static_cast<std::uint8_t>((typeCode * 32 + rights) & 0x7F);
}

// "General", "Manager", "Programmer", "Service".
QString UserTypeName(int typeCode);

// The text shown for an enrolment state.
QString EnrolmentStateText(int state);
inline bool CountsAsEnrolled(int state) {
    return state >= kEnrolmentCurrent && state <= kPendingUpdate;
}

}  // namespace tandrel
