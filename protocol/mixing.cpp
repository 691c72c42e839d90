#include "mixing.h"

#include "windows1252.h"

namespace protocol {
namespace {

constexpr std::uint8_t RotateLeft(std::uint8_t v) {
    return static_cast<std::uint8_t>((v << 1) | (v >> 7));
}
constexpr std::uint8_t RotateRight(std::uint8_t v) {
    return static_cast<std::uint8_t>((v >> 1) | (v << 7));
}

// A work buffer b[0..6]: b[0..4] in, b[5..6] out.
using WorkBuffer = std::array<std::uint8_t, 7>;

void Mix(WorkBuffer& b) {
    auto out = MixBytes({b[0], b[1], b[2], b[3], b[4]});
    b[5] = out[0];
    b[6] = out[1];
}

// Folds the characters of a text into the buffer, three per pass, walking
// from the last character backwards and wrapping to the last again after
// the first; the pass that takes the first character is the last one.
void FoldText(WorkBuffer& b, std::string_view utf8) {
    std::string text = Utf8ToWindows1252(utf8);
    if (text.empty()) return;
    std::size_t next = text.size() - 1;
    bool wrapped = false;
    while (!wrapped) {
        b[0] = b[5];
        b[1] = b[6];
        for (int k = 2; k <= 4; ++k) {
            b[k] = static_cast<std::uint8_t>(text[next]);
            if (next == 0) {
                next = text.size() - 1;
                wrapped = true;
            } else {
                --next;
            }
        }
        Mix(b);
    }
}

std::uint16_t Result(const WorkBuffer& b) {
    return static_cast<std::uint16_t>(b[6] * 256 + b[5]);
}

}  // namespace

std::array<std::uint8_t, 2> MixBytes(const std::array<std::uint8_t, 5>& input) {
    const std::uint8_t a = input[0];
    const std::uint8_t bb = input[1];
    std::uint8_t x = input[3] ^ input[1];
    std::uint8_t y = input[2] ^ input[0];
    std::uint8_t r = input[4];
    for (int pass = 0; pass < 8; ++pass) {
        if (x & 1) {
            x = RotateLeft(x);
        } else {
            y = RotateLeft(y);
        }
        std::uint8_t nx = x ^ r ^ y ^ bb;
        std::uint8_t ny = x ^ bb ^ a;
        x = nx;
        y = ny;
        r = RotateRight(r);
    }
    return {x, y};
}

std::uint16_t CommunicationCode(const CivilDateTime& created, std::string_view facilityName) {
    WorkBuffer b{static_cast<std::uint8_t>(created.month), static_cast<std::uint8_t>(created.day),
                 static_cast<std::uint8_t>(created.hour), static_cast<std::uint8_t>(created.minute),
                 static_cast<std::uint8_t>(created.second)};
    Mix(b);
    FoldText(b, facilityName);
    return Result(b);
}

std::string DerivedPassword(std::string_view password) {
    WorkBuffer b{};
    b[5] = b[6] = 255;
    FoldText(b, password);
    return Utf8Left(std::to_string(Result(b)) + std::string(password), 14);
}

Bytes GeneratePIN(ByteView SeedBuffer) {
    if (SeedBuffer.size() < 5) return {};
    const auto& s = SeedBuffer;
    auto p = MixBytes({s[0], s[1], s[2], s[3], s[4]});
    auto third = MixBytes({p[0], p[1], s[2], s[3], s[4]});
    return {p[0], p[1], third[0]};
}

std::array<std::uint8_t, 5> LogonSeed(std::uint16_t lockAddress, std::uint8_t challenge,
                                      std::uint16_t facilityCode) {
    if (lockAddress == 0) facilityCode = 0;
    return {static_cast<std::uint8_t>(lockAddress >> 8), static_cast<std::uint8_t>(lockAddress),
            challenge, static_cast<std::uint8_t>(facilityCode >> 8),
            static_cast<std::uint8_t>(facilityCode)};
}

}  // namespace protocol
