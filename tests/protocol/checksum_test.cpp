#include <gtest/gtest.h>

#include "protocol/lock_checksum.h"

namespace protocol {
namespace {

// The checksum step exactly as the locks define it, bit by bit.
std::uint8_t BitwiseStep(std::uint8_t c, std::uint8_t b) {
    for (int round = 0; round < 8; ++round) {
        if ((c ^ b) & 1) {
            c = static_cast<std::uint8_t>(((c ^ 0x18) >> 1) | 0x80);
        } else {
            c = static_cast<std::uint8_t>(c >> 1);
        }
        b = static_cast<std::uint8_t>(b >> 1);
    }
    if ((c & 0xF0) == 0xC0) c |= 0x20;
    return c;
}

TEST(LockChecksum, TableStepMatchesBitwiseRuleForEveryInput) {
    for (int c = 0; c < 256; ++c) {
        for (int b = 0; b < 256; ++b) {
            ASSERT_EQ(LockChecksumStep(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(b)),
                      BitwiseStep(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(b)))
                << "c=" << c << " b=" << b;
        }
    }
}

TEST(LockChecksum, NeverLandsOnAFramingByte) {
    for (int c = 0; c < 256; ++c) {
        for (int b = 0; b < 256; ++b) {
            std::uint8_t out =
                LockChecksumStep(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(b));
            ASSERT_NE(out & 0xF0, 0xC0);
        }
    }
}

TEST(LockChecksum, AdjustedValueIsCarriedIntoTheNextByte) {
    // 0x08 alone gives the CRC 0xC2, sent as 0xE2; the next byte starts from 0xE2.
    EXPECT_EQ(LockChecksumStep(0, 0x08), 0xE2);
    const std::uint8_t block[] = {0x08, 0x00};
    EXPECT_EQ(LockChecksum(block), BitwiseStep(0xE2, 0x00));
    EXPECT_NE(LockChecksum(block), BitwiseStep(0xC2, 0x00));
}

TEST(LockChecksum, UnadjustedValuesAreTheOneWireCrc) {
    // Standard check value of the Dallas/Maxim CRC-8 over "123456789" is
    // 0xA1; no intermediate value of that block falls into 0xC0..0xCF.
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(LockChecksum(digits), 0xA1);
}

}  // namespace
}  // namespace protocol
