// Lock OS image lines: decoding, the checksum rule and its exemptions, the
// stored OS data record and the version of an image.
#include <gtest/gtest.h>

#include "protocol/los_line.h"

namespace protocol {
namespace {

// Sixteen data bytes 10..1F at 0x8040, record type 00; checksum B8.
constexpr const char* kDataLine = "10804000101112131415161718191A1B1C1D1E1FB8";
constexpr std::uint32_t kType1 = 0x00010000;
constexpr std::uint32_t kType2 = 0x00020000;  // bit 17

TEST(LosLine, DecodesFieldsAndGivesTheRecordWithoutTypeAndChecksum) {
    const auto line = DecodeLosLine(kDataLine);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->addressHigh, 0x80);
    EXPECT_EQ(line->addressLow, 0x40);
    EXPECT_EQ(line->recordType, 0x00);
    EXPECT_EQ(line->data.size(), 16u);
    EXPECT_EQ(line->data.front(), 0x10);
    EXPECT_EQ(line->data.back(), 0x1F);
    EXPECT_EQ(line->checksum, 0xB8);
    const auto record = LosRecordOf(kDataLine, kType1);
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 19u);  // n + 3
    EXPECT_EQ((Bytes(record->begin(), record->begin() + 4)), (Bytes{0x10, 0x80, 0x40, 0x10}));
    EXPECT_EQ(record->back(), 0x1F);

    // A line without data is a record of three bytes.
    EXPECT_EQ(LosRecordOf("00FFF00110", kType1), (Bytes{0x00, 0xFF, 0xF0}));
}

TEST(LosLine, ChecksumMismatchIsRefusedUnlessTypeA5OrPlatformBit17) {
    const std::string bad = std::string(kDataLine).replace(40, 2, "B9");
    EXPECT_FALSE(LosRecordOf(bad, kType1));
    EXPECT_FALSE(LosRecordOf(bad, 0x0001FFFF));  // bit 16 and the low bits are no exemption
    EXPECT_TRUE(LosRecordOf(bad, kType2));
    EXPECT_TRUE(LosRecordOf(bad, 0xFFFFFFFF));

    EXPECT_TRUE(LosRecordOf("031234A50102030C", kType1));
    EXPECT_EQ(LosRecordOf("031234A501020300", kType1), (Bytes{0x03, 0x12, 0x34, 1, 2, 3}));
    EXPECT_FALSE(LosRecordOf("031234A40102030C", kType1));
}

TEST(LosLine, LowerCaseAndMalformedTextIsRefusedEvenWhenExempt) {
    // The same bytes in lower case: never decoded, so never exempt either.
    EXPECT_FALSE(DecodeLosLine("10804000101112131415161718191a1b1c1d1e1fb8"));
    EXPECT_FALSE(LosRecordOf("031234a50102030c", kType2));
    for (const char* text : {
             "",
             "031234A501",          // shorter than its count says
             "031234A50102030C00",  // longer
             "031234A50102030",     // odd length
             "00FFF001",            // no checksum
             "031234A5010G030C",    // not a hex digit
             "031234A5 102030C",    // blank
             "+31234A50102030C",    // sign
             "FF000000",            // count beyond the text
         }) {
        EXPECT_FALSE(DecodeLosLine(text)) << text;
        EXPECT_FALSE(LosRecordOf(text, kType2)) << text;
    }
}

TEST(LosLine, EncodesLinesThatDecodeToTheSameBytes) {
    const Bytes data = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                        0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F};
    EXPECT_EQ(EncodeLosLine(0x8040, 0x00, data), kDataLine);
    EXPECT_EQ(EncodeLosLine(0xFFF0, 0x01, {}), "00FFF00110");

    // As given: a wrong checksum stays wrong.
    LosLine line = *DecodeLosLine(kDataLine);
    line.checksum = 0x00;
    EXPECT_EQ(EncodeLosLine(line), std::string(kDataLine).replace(40, 2, "00"));
    line.data.assign(256, 0);
    EXPECT_FALSE(EncodeLosLine(line));

    // Every byte count and value survives the round trip.
    for (int n = 0; n <= 255; n += 17) {
        const Bytes bytes(static_cast<std::size_t>(n), static_cast<std::uint8_t>(n * 7));
        const auto text = EncodeLosLine(static_cast<std::uint16_t>(n * 251), 0x5A, bytes);
        ASSERT_TRUE(text);
        const auto back = DecodeLosLine(*text);
        ASSERT_TRUE(back) << *text;
        EXPECT_EQ(back->data, bytes);
        EXPECT_TRUE(LosChecksumMatches(*back));
    }
}

TEST(LosLine, VersionComesFromTheFirstTwoDataBytes) {
    EXPECT_EQ(LosVersionOf(*DecodeLosLine("0400000003050100F3")), (LosVersion{3, 5}));
    EXPECT_EQ(LosVersionText({3, 5}), "3.05");
    EXPECT_EQ(LosVersionText({12, 7}), "12.07");
    EXPECT_EQ(LosVersionText({255, 255}), "255.255");
    // Too short to hold a version: no bytes are read past the data.
    EXPECT_FALSE(LosVersionOf(*DecodeLosLine("01010000AB53")));
    EXPECT_FALSE(LosVersionOf(*DecodeLosLine("00FFF00110")));
}

}  // namespace
}  // namespace protocol
