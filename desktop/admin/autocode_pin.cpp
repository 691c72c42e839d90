#include "desktop/admin/autocode_pin.h"

#include <array>

#include "protocol/mixing.h"

namespace tandrel {
namespace {

using Buffer = std::array<std::uint8_t, 7>;

void Mix(Buffer& b) {
    auto out = protocol::MixBytes({b[0], b[1], b[2], b[3], b[4]});
    b[5] = out[0];
    b[6] = out[1];
}

// A byte brought to two decimal digits.
std::uint8_t DecimalDigits(std::uint8_t byte) {
    int v = byte;
    if ((v & 0x0F) > 9) v += 6;
    if (v > 153) v += 96;
    return static_cast<std::uint8_t>(v & 0xFF);
}

// Folds the ID digits into b[2..4], two per byte, mixing after each pass.
// Reaching the end of the ID restarts the walk at its first digit and makes
// the current pass the last; a digit without a partner gets 0xF.
void FoldId(Buffer& b, const QString& id) {
    const int length = static_cast<int>(id.size());
    auto digit = [&](int at) { return static_cast<std::uint8_t>(id[at].unicode() & 0x0F); };
    int next = 0;
    bool last = false;
    while (!last) {
        for (int k = 2; k <= 4; ++k) {
            std::uint8_t high = digit(next++);
            std::uint8_t low;
            if (next == length) {
                low = 0x0F;
                next = 0;
                last = true;
            } else {
                low = digit(next++);
                if (next == length) {
                    next = 0;
                    last = true;
                }
            }
            b[k] = static_cast<std::uint8_t>(high << 4 | low);
        }
        Mix(b);
        b[0] = b[5];
        b[1] = b[6];
    }
}

}  // namespace

QString AutocodePin(std::uint16_t communicationCode, const QString& idDigits,
                    std::uint16_t packedDate, int pinLength) {
    Buffer b{static_cast<std::uint8_t>(communicationCode >> 8),
             static_cast<std::uint8_t>(communicationCode),
             255,
             255,
             255,
             0,
             0};
    if (!idDigits.isEmpty()) FoldId(b, idDigits);
    b[3] = static_cast<std::uint8_t>(packedDate >> 8);
    b[4] = static_cast<std::uint8_t>(packedDate);
    Mix(b);
    const std::uint8_t r0 = b[5], r1 = b[6];
    b[1] = b[6];
    b[4] = b[5];
    Mix(b);
    const std::uint8_t r2 = b[5];

    QString pin;
    for (std::uint8_t r : {r0, r1, r2}) {
        std::uint8_t digits = DecimalDigits(r);
        for (int nibble : {digits >> 4, digits & 0x0F}) {
            if (pin.size() >= pinLength) return pin;
            pin += QChar(u'0' + nibble);
        }
    }
    return pin;
}

}  // namespace tandrel
