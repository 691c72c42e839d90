#include <gtest/gtest.h>

#include "protocol/hex.h"
#include "protocol/lock_checksum.h"
#include "protocol/lock_parser.h"

namespace protocol {
namespace {

struct Drop {
    LockFrameDropReason reason;
    Bytes bytes;
    std::uint8_t checkByte = 0;
    std::uint8_t expectedCheck = 0;
    bool operator==(const Drop&) const = default;
};

void PrintTo(const Drop& drop, std::ostream* os) {
    *os << "{reason " << drop.reason << ", " << ToHex(drop.bytes) << "}";
}

// A parser whose messages and drops are collected in order.
struct Receiver {
    clsLockParser parser;
    std::vector<std::int16_t> commands;
    std::vector<Drop> drops;
    Receiver() {
        parser.SetMsgReceived(
            [this](std::int16_t command, const Bytes&) { commands.push_back(command); });
        parser.SetFrameDropped([this](const LockFrameDrop& d) {
            drops.push_back(
                {d.reason, Bytes(d.bytes.begin(), d.bytes.end()), d.checkByte, d.expectedCheck});
        });
    }
    void Feed(const Bytes& bytes) { parser.ParseBytes(bytes); }
};

Bytes Hex(std::string_view text) {
    return ParseHex(text).value();
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(FrameDrops, GoodTrafficDropsNothing) {
    clsLockParser sender;
    Receiver receiver;
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    for (int code : {1, 6, 0x10, 0x31, 0x93, 0xF0}) {
        receiver.Feed(sender.BuildMessage(static_cast<std::int16_t>(code), all));
        receiver.Feed(sender.BuildMessage(static_cast<std::int16_t>(code), {}));
    }
    EXPECT_EQ(receiver.commands.size(), 12u);
    EXPECT_TRUE(receiver.drops.empty());
    for (int reason = 0; reason < kLockFrameDropReasons; ++reason) {
        EXPECT_EQ(receiver.parser.DropCount(static_cast<LockFrameDropReason>(reason)), 0u);
    }
}

TEST(FrameDrops, BadCheckByteNamesBothCheckBytesAndTheFrame) {
    clsLockParser sender;
    Receiver receiver;
    Bytes frame = sender.BuildMessage(0x31, Hex("C5 00"));
    std::uint8_t good = frame[frame.size() - 2];
    frame[frame.size() - 2] = 0x00;
    receiver.Feed(frame);
    EXPECT_EQ(receiver.drops,
              (std::vector<Drop>{{LOCK_FRAME_DROP_BAD_CHECK, Hex("31 C5 00"), 0x00, good}}));
    EXPECT_EQ(good, LockChecksum(Hex("31 C5 00")));
    EXPECT_TRUE(receiver.commands.empty());
}

TEST(FrameDrops, BofInsideAFrameDropsWhatItHeld) {
    // The BOF run before a frame restarts nothing; a BOF after frame bytes
    // drops them, the last one (not yet known to be a check byte) included.
    clsLockParser sender;
    Receiver receiver;
    receiver.Feed(Joined({Hex("C0 C0 10 CE E1 12"), sender.BuildMessage(0x26, Hex("AA"))}));
    EXPECT_EQ(receiver.drops, (std::vector<Drop>{{LOCK_FRAME_DROP_RESTARTED, Hex("10 C1 12")}}));
    EXPECT_EQ(receiver.commands, (std::vector<std::int16_t>{0x26}));
}

TEST(FrameDrops, BytesOutsideAFrameAreStrayOneByOne) {
    clsLockParser sender;
    Receiver receiver;
    Bytes frame = sender.BuildMessage(0x07, {});
    receiver.Feed(Joined({Hex("55 C1"), frame, Hex("66 CE")}));
    EXPECT_EQ(receiver.drops, (std::vector<Drop>{{LOCK_FRAME_DROP_STRAY_BYTE, Hex("55")},
                                                 {LOCK_FRAME_DROP_STRAY_BYTE, Hex("C1")},
                                                 {LOCK_FRAME_DROP_STRAY_BYTE, Hex("66")},
                                                 {LOCK_FRAME_DROP_STRAY_BYTE, Hex("CE")}}));
    EXPECT_EQ(receiver.parser.DropCount(LOCK_FRAME_DROP_STRAY_BYTE), 4u);
    EXPECT_EQ(receiver.commands, (std::vector<std::int16_t>{0x07}));
}

TEST(FrameDrops, EndBeforeAnyFrameByteIsIgnoredAndTheFrameStaysOpen) {
    clsLockParser sender;
    Receiver receiver;
    // Right after the BOF, and after a single byte that can only be a
    // check byte.
    Bytes frame = sender.BuildMessage(0x13, {});
    receiver.Feed(Joined({Hex("C0 C1 13 C1"), Bytes(frame.end() - 2, frame.end())}));
    EXPECT_EQ(receiver.drops, (std::vector<Drop>{{LOCK_FRAME_DROP_EMPTY_END, Hex("C1")},
                                                 {LOCK_FRAME_DROP_EMPTY_END, Hex("C1")}}));
    EXPECT_EQ(receiver.commands, (std::vector<std::int16_t>{0x13}));
}

TEST(FrameDrops, OversizeFrameIsDroppedAtTheLimitAndTheRestIsStray) {
    Receiver receiver;
    Bytes flood(clsLockParser::kMaxFrameBytes + 10, 0x41);
    flood.insert(flood.begin(), kFrameBOF);
    receiver.Feed(flood);
    ASSERT_EQ(receiver.parser.DropCount(LOCK_FRAME_DROP_OVERSIZE), 1u);
    EXPECT_EQ(receiver.drops[0].reason, LOCK_FRAME_DROP_OVERSIZE);
    EXPECT_EQ(receiver.drops[0].bytes.size(), clsLockParser::kMaxFrameBytes);
    // The byte that went over the limit goes with the frame; what follows
    // belongs to no frame.
    EXPECT_EQ(receiver.parser.DropCount(LOCK_FRAME_DROP_STRAY_BYTE), 8u);
    EXPECT_FALSE(receiver.parser.InFrame());
}

TEST(FrameDrops, CountsDoNotNeedAHandler) {
    clsLockParser sender;
    clsLockParser parser;
    Bytes bad = sender.BuildMessage(0x10, Hex("01"));
    bad[bad.size() - 2] ^= 0x01;
    parser.ParseBytes(Joined({Hex("55"), bad, bad, Hex("C0 10 C1 C0 10 11")}));
    EXPECT_EQ(parser.DropCount(LOCK_FRAME_DROP_STRAY_BYTE), 1u);
    EXPECT_EQ(parser.DropCount(LOCK_FRAME_DROP_BAD_CHECK), 2u);
    EXPECT_EQ(parser.DropCount(LOCK_FRAME_DROP_EMPTY_END), 1u);
    EXPECT_EQ(parser.DropCount(LOCK_FRAME_DROP_RESTARTED), 1u);
    EXPECT_EQ(parser.DropCount(LOCK_FRAME_DROP_OVERSIZE), 0u);
    EXPECT_TRUE(parser.InFrame());
    EXPECT_EQ(parser.FrameBytes(), 2u);
}

TEST(FrameDrops, HandlerMayFeedTheParserAgain) {
    // A link that answers a lost frame at once must find the parser ready
    // for a new frame, not still holding the dropped one.
    clsLockParser sender;
    clsLockParser parser;
    std::vector<std::int16_t> codes;
    Bytes retry = sender.BuildMessage(0x11, {});
    parser.SetMsgReceived([&](std::int16_t command, const Bytes&) { codes.push_back(command); });
    parser.SetFrameDropped([&](const LockFrameDrop& drop) {
        if (drop.reason == LOCK_FRAME_DROP_RESTARTED) parser.ParseBytes(Hex("22 45"));
        if (drop.reason == LOCK_FRAME_DROP_BAD_CHECK) parser.ParseBytes(retry);
    });
    // After the restart the new frame is open and continues with what the
    // handler fed: 22 45 then this frame's own check byte and end.
    std::uint8_t check = LockChecksum(Hex("22 45"));
    parser.ParseBytes(Joined({Hex("C0 10 11 C0"), Bytes{check, kFrameEOF}, Hex("C0 10 00 C1")}));
    EXPECT_EQ(codes, (std::vector<std::int16_t>{0x22, 0x11}));
}

}  // namespace
}  // namespace protocol
