#include <gtest/gtest.h>

#include "protocol/hex.h"
#include "protocol/ir_frame.h"
#include "protocol/lock_checksum.h"
#include "protocol/lock_parser.h"

namespace protocol {
namespace {

Bytes Hex(std::string_view text) {
    return ParseHex(text).value();
}

void StoreAll(IrReceiveRing& ring, const Bytes& bytes) {
    for (std::uint8_t b : bytes) ring.Store(b);
}

TEST(IrFrame, FiveBofsCommandNeverEscapedDataEscaped) {
    Bytes frame = BuildIrFrame(0x31, Hex("C5 BF D0"));
    EXPECT_EQ(ToHex(frame), "C0 C0 C0 C0 C0 31 CE E5 BF D0 " +
                                ToHex(Bytes{LockChecksum(Hex("31 C5 BF D0"))}) + " C1");
    EXPECT_EQ(BuildIrFrame(0xC5, {})[5], 0xC5);
    // The same bytes the lock link's parser builds with its defaults.
    clsLockParser parser;
    EXPECT_EQ(BuildIrFrame(0x10, Hex("01 C0")), parser.BuildMessage(0x10, Hex("01 C0")));
}

TEST(IrReceiveRing, StoreReportsEndBytesAndWraps) {
    IrReceiveRing ring;
    EXPECT_FALSE(ring.Store(0xC0));
    EXPECT_TRUE(ring.Store(0xC1));
    for (std::size_t i = 2; i < IrReceiveRing::kSize; ++i) ring.Store(0);
    EXPECT_EQ(ring.WriteIndex(), 0u);
}

TEST(IrReceiveRing, ParsesAReplyAndResetsTheIndex) {
    IrReceiveRing ring;
    StoreAll(ring, BuildIrFrame(0x26, Hex("00 02 C3 0A")));
    Bytes reply;
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_OK);
    EXPECT_EQ(ToHex(reply), "26 00 02 C3 0A");
    EXPECT_EQ(ring.WriteIndex(), 0u);
}

TEST(IrReceiveRing, ALaterBofStartsOver) {
    IrReceiveRing ring;
    StoreAll(ring, Hex("C0 55 66"));
    StoreAll(ring, BuildIrFrame(0x10, Hex("00 07 42")));
    Bytes reply;
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_OK);
    EXPECT_EQ(ToHex(reply), "10 00 07 42");
}

TEST(IrReceiveRing, FramingErrors) {
    Bytes reply = Hex("AA");
    IrReceiveRing ring;
    // No BOF before the end byte.
    StoreAll(ring, Hex("10 9D C1"));
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_FRAMING_ERROR);
    // Only a check byte between BOF and EOF.
    StoreAll(ring, Hex("C0 9D C1"));
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_FRAMING_ERROR);
    StoreAll(ring, Hex("C0 C1"));
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_FRAMING_ERROR);
    EXPECT_EQ(ToHex(reply), "AA");
    EXPECT_EQ(ring.WriteIndex(), 0u);
}

TEST(IrReceiveRing, ARingWithoutAnEndByteIsAFramingError) {
    IrReceiveRing ring;
    Bytes frame(IrReceiveRing::kSize, 0x11);
    frame[0] = 0xC0;
    StoreAll(ring, frame);
    Bytes reply;
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_FRAMING_ERROR);
}

TEST(IrReceiveRing, LongestPayloadFitsTheRing) {
    // BOF, 509 payload bytes, check, EOF fill the ring exactly.
    Bytes payload(509, 0x42);
    IrReceiveRing ring;
    Bytes frame = payload;
    frame.insert(frame.begin(), 0xC0);
    frame.push_back(LockChecksum(payload));
    frame.push_back(0xC1);
    ASSERT_EQ(frame.size(), IrReceiveRing::kSize);
    StoreAll(ring, frame);
    Bytes reply;
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_OK);
    EXPECT_EQ(reply, payload);
}

TEST(IrReceiveRing, CheckError) {
    IrReceiveRing ring;
    Bytes frame = BuildIrFrame(0x11, Hex("01 02"));
    frame[frame.size() - 2] ^= 0x40;
    StoreAll(ring, frame);
    Bytes reply;
    EXPECT_EQ(ring.ParseReply(reply), IR_PARSE_CHECK_ERROR);
    EXPECT_EQ(ring.WriteIndex(), 0u);
}

TEST(IrReceiveRing, OverrunFailsTheCheck) {
    // More than 512 bytes before the parse overwrite the ring's start.
    IrReceiveRing ring;
    Bytes data(600, 0x33);
    StoreAll(ring, BuildIrFrame(0x70, data));
    Bytes reply;
    EXPECT_NE(ring.ParseReply(reply), IR_PARSE_OK);
}

}  // namespace
}  // namespace protocol
