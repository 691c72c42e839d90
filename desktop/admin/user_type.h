#pragma once

#include <QString>

#include <cstdint>

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

// Enrolment states and the texts shown for them.
enum EnrolmentState : int {
    kNotEnrolled = 0,
    kCurrent = 1,
    kPendingEnrolment = 2,
    kPendingUpdate = 3,
    kPendingRemoval = 4,
};
QString EnrolmentStateText(int state);
inline bool CountsAsEnrolled(int state) {
    return state >= 1 && state <= 3;
}

}  // namespace tandrel
