#include <gtest/gtest.h>

#include <random>

#include "protocol/hex.h"
#include "protocol/lock_checksum.h"
#include "protocol/lock_command_codes.h"
#include "protocol/lock_parser.h"
#include "protocol/windows1252.h"

namespace protocol {
namespace {

struct Message {
    std::int16_t command;
    Bytes data;
    bool operator==(const Message&) const = default;
};

// A parser whose received messages are collected in order.
struct Receiver {
    clsLockParser parser;
    std::vector<Message> messages;
    Receiver() {
        parser.SetMsgReceived([this](std::int16_t command, const Bytes& data) {
            messages.push_back({command, data});
        });
    }
    void Feed(const Bytes& bytes) { parser.ParseBytes(bytes); }
};

Bytes Hex(std::string_view text) {
    return ParseHex(text).value();
}

TEST(BuildMessage, EmptyDataGivesBofsCodeChecksumEof) {
    clsLockParser parser;
    EXPECT_EQ(ToHex(parser.BuildMessage(LOCK_COMMAND_CODE_GET_CERT, {})),
              "C0 C0 C0 C0 C0 10 9D C1");
    EXPECT_EQ(ToHex(parser.BuildMessage(LOCK_COMMAND_CODE_WAKEUP, {})), "C0 C0 C0 C0 C0 07 83 C1");
}

TEST(BuildMessage, DataBytesInTheFramingRangeAreEscapedButCheckedRaw) {
    clsLockParser parser;
    EXPECT_EQ(ToHex(parser.BuildMessage(LOCK_COMMAND_CODE_WRITE_USER, Hex("C5"))),
              "C0 C0 C0 C0 C0 31 CE E5 1C C1");
    EXPECT_EQ(ToHex(parser.BuildMessage(0x31, Hex("C0 CE BF D0"))),
              "C0 C0 C0 C0 C0 31 CE E0 CE EE BF D0 " +
                  ToHex(Bytes{LockChecksum(Hex("31 C0 CE BF D0"))}) + " C1");
}

TEST(BuildMessage, AdjustedChecksumIsCarriedForward) {
    // The code 0x08 alone checks to 0xC2, adjusted to 0xE2; the data byte
    // continues from 0xE2.
    clsLockParser parser;
    Bytes frame = parser.BuildMessage(0x08, Hex("00"));
    EXPECT_EQ(frame[frame.size() - 2], LockChecksumStep(0xE2, 0x00));
    EXPECT_EQ(ToHex(parser.BuildMessage(0x08, {})), "C0 C0 C0 C0 C0 08 E2 C1");
}

TEST(BuildMessage, BofCountAndCommandActive) {
    clsLockParser parser;
    parser.SetBOFCount(1);
    parser.SetCommandActive(false);
    EXPECT_TRUE(parser.BuildMessage(0x10, {}).empty());
    Bytes frame = parser.BuildMessage(0x10, Hex("41"));
    EXPECT_EQ(ToHex(frame), "C0 41 " + ToHex(Bytes{LockChecksum(Hex("41"))}) + " C1");
    parser.SetBOFCount(0);
    EXPECT_EQ(parser.BuildMessage(0x10, Hex("41")).front(), 0x41);
}

TEST(ParseBytes, RoundTripsEveryCommandWithEveryDataByte) {
    clsLockParser sender;
    Receiver receiver;
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    std::vector<Message> sent;
    for (int code : {1, 6, 0x10, 0x31, 0x93, 0xF0}) {
        sent.push_back({static_cast<std::int16_t>(code), all});
        receiver.Feed(sender.BuildMessage(static_cast<std::int16_t>(code), all));
    }
    EXPECT_EQ(receiver.messages, sent);
}

TEST(ParseBytes, TwoFramesInOneChunkArriveInOrder) {
    clsLockParser sender;
    Receiver receiver;
    Bytes chunk = sender.BuildMessage(0x10, {});
    Bytes second = sender.BuildMessage(0x11, Hex("01 02 03"));
    chunk.insert(chunk.end(), second.begin(), second.end());
    receiver.Feed(chunk);
    ASSERT_EQ(receiver.messages.size(), 2u);
    EXPECT_EQ(receiver.messages[0], (Message{0x10, {}}));
    EXPECT_EQ(receiver.messages[1], (Message{0x11, Hex("01 02 03")}));
}

TEST(ParseBytes, FrameSplitOverManyChunksArrivesOnceAtItsEnd) {
    clsLockParser sender;
    Receiver receiver;
    Bytes frame = sender.BuildMessage(0x24, Hex("C3 40 CE 00"));
    for (std::size_t i = 0; i < frame.size(); ++i) {
        EXPECT_TRUE(receiver.messages.empty());
        receiver.Feed(Bytes{frame[i]});
    }
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{0x24, Hex("C3 40 CE 00")}));
}

TEST(ParseBytes, CodeOnlyFrameHasEmptyData) {
    Receiver receiver;
    receiver.Feed(Hex("C0 06 " + ToHex(Bytes{LockChecksum(Hex("06"))}) + " C1"));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{6, {}}));
}

TEST(ParseBytes, BadChecksumIsDroppedSilentlyAndTheNextFrameStillArrives) {
    clsLockParser sender;
    Receiver receiver;
    Bytes bad = sender.BuildMessage(0x10, Hex("01"));
    bad[bad.size() - 2] ^= 0x01;
    receiver.Feed(bad);
    EXPECT_TRUE(receiver.messages.empty());
    receiver.Feed(sender.BuildMessage(0x12, {}));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].command, 0x12);
}

TEST(ParseBytes, BofInsideAFrameRestartsIt) {
    clsLockParser sender;
    Receiver receiver;
    Bytes stream = Hex("C0 10 11 12");
    Bytes frame = sender.BuildMessage(0x26, Hex("AA"));
    stream.insert(stream.end(), frame.begin(), frame.end());
    receiver.Feed(stream);
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{0x26, Hex("AA")}));
}

TEST(ParseBytes, BytesOutsideAFrameAndLoneEofsAreIgnored) {
    clsLockParser sender;
    Receiver receiver;
    receiver.Feed(Hex("C1 55 66 C1"));
    // An EOF right after a BOF (nothing received) leaves the frame open.
    Bytes stream = Hex("C0 C1");
    Bytes frame = sender.BuildMessage(0x13, {});
    stream.insert(stream.end(), frame.begin() + 1, frame.end());
    receiver.Feed(stream);
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{0x13, {}}));
}

TEST(ParseBytes, EscapeFlagSurvivesABof) {
    // 0xCE then BOF: the first byte of the new frame is still unescaped.
    Receiver receiver;
    std::uint8_t check = LockChecksum(Hex("E5 01"));
    receiver.Feed(Hex("CE C0 C5 01"));
    receiver.Feed(Bytes{check, 0xC1});
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{0xE5, Hex("01")}));
}

TEST(ParseBytes, WithoutCommandTheWholeBufferIsData) {
    clsLockParser sender;
    sender.SetBOFCount(1);
    sender.SetCommandActive(false);
    Receiver receiver;
    receiver.parser.SetCommandActive(false);
    receiver.Feed(sender.BuildMessage(0, Hex("10 20 30")));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (Message{0, Hex("10 20 30")}));
}

TEST(ParseBytes, LongFramesGrowTheBuffer) {
    clsLockParser sender;
    Receiver receiver;
    Bytes data(5000);
    std::mt19937 random(7);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    receiver.Feed(sender.BuildMessage(0x93, data));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].data, data);
}

TEST(ParseBytes, AFrameThatNeverEndsIsDroppedAtTheLimit) {
    clsLockParser sender;
    Receiver receiver;
    Bytes flood(clsLockParser::kMaxFrameBytes + 10, 0x41);
    flood.insert(flood.begin(), 0xC0);
    receiver.Feed(flood);
    receiver.Feed(Bytes{0x41, 0xC1});
    EXPECT_TRUE(receiver.messages.empty());
    receiver.Feed(sender.BuildMessage(0x07, {}));
    EXPECT_EQ(receiver.messages.size(), 1u);
}

TEST(ParseBytes, ReceiverMayFeedTheParserAgain) {
    clsLockParser sender;
    clsLockParser parser;
    std::vector<std::int16_t> codes;
    Bytes reply = sender.BuildMessage(0x11, {});
    parser.SetMsgReceived([&](std::int16_t command, const Bytes&) {
        codes.push_back(command);
        if (command == 0x10) parser.ParseBytes(reply);
    });
    parser.ParseBytes(sender.BuildMessage(0x10, {}));
    EXPECT_EQ(codes, (std::vector<std::int16_t>{0x10, 0x11}));
}

TEST(TextEncryption, SeventeenCharactersTakeTwoBlocksAndComeBack) {
    clsLockParser parser;
    const std::string text = "ABCDEFGHIJKLMNOPQ";
    Bytes data = parser.EncryptStringToData(text);
    EXPECT_EQ(data.size(), 32u);
    EXPECT_EQ(parser.DecryptDataToString(data), text);
    EXPECT_EQ(parser.EncryptStringToData("0123456789ABCDEF").size(), 16u);
    EXPECT_TRUE(parser.EncryptStringToData("").empty());
}

TEST(TextEncryption, IsAes128EcbOverZeroFilledBlocks) {
    // The ECB-AES128 example of NIST SP 800-38A, its plaintext read as
    // Windows-1252 characters.
    clsLockParser parser;
    parser.SetEncryptKey("2B 7E 15 16 28 AE D2 A6 AB F7 15 88 09 CF 4F 3C");
    Bytes plain = Hex("6B C1 BE E2 2E 40 9F 96 E9 3D 7E 11 73 93 17 2A");
    std::string text = Windows1252ToUtf8(std::string(plain.begin(), plain.end()));
    Bytes cipher = parser.EncryptStringToData(text);
    EXPECT_EQ(ToHex(cipher), "3A D7 7B B4 0D 7A 36 60 A8 9E CA F3 24 66 EF 97");
    EXPECT_EQ(parser.DecryptDataToString(cipher), text);
    // Identical plaintext blocks give identical cipher blocks; the short
    // text is zero-filled.
    Bytes two = parser.EncryptStringToData(std::string(16, 'x') + "x");
    ASSERT_EQ(two.size(), 32u);
    Bytes again = parser.EncryptStringToData(std::string("x") + std::string(15, '\0'));
    EXPECT_TRUE(std::equal(again.begin(), again.end(), two.begin() + 16));
}

TEST(TextEncryption, CharactersTravelAsWindows1252) {
    clsLockParser parser;
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC"
        "5";  // "Grüße €5"
    Bytes data = parser.EncryptStringToData(text);
    EXPECT_EQ(data.size(), 16u);  // 8 characters, one byte each
    EXPECT_EQ(parser.DecryptDataToString(data), text);
}

TEST(TextEncryption, MalformedKeyOrDataGiveEmptyResults) {
    clsLockParser parser;
    Bytes good = parser.EncryptStringToData("hello");
    for (const char* key : {"", "5E 2B C7", "5E-2B-C7-19-A4-3D-88-F0-61-0C-D2-7A-4B-93-E5-36",
                            "5E 2B C7 19 A4 3D 88 F0 61 0C D2 7A 4B 93 E5 3G",
                            "5E 2B C7 19 A4 3D 88 F0 61 0C D2 7A 4B 93 E5 36 "}) {
        clsLockParser broken;
        broken.SetEncryptKey(key);
        EXPECT_TRUE(broken.EncryptStringToData("hello").empty()) << key;
        EXPECT_TRUE(broken.BuildEncryptedMessage("hello").empty()) << key;
        EXPECT_EQ(broken.DecryptDataToString(good), "") << key;
    }
    EXPECT_EQ(parser.DecryptDataToString(Hex("01 02 03")), "");
    Bytes truncated(good.begin(), good.end() - 1);
    EXPECT_EQ(parser.DecryptDataToString(truncated), "");
}

TEST(TextEncryption, EncryptedMessageOverARecordLink) {
    // The record link sends one BOF, no command byte and encrypted text.
    clsLockParser sender;
    sender.SetBOFCount(1);
    sender.SetCommandActive(false);
    sender.SetEncryptActive(true);
    Receiver receiver;
    receiver.parser.SetCommandActive(false);
    const std::string xml = "<Request Type=\"GetNextLockRecord\" RecordType=\"3\"/>";
    Bytes frame = sender.BuildEncryptedMessage(xml);
    EXPECT_EQ(frame.front(), 0xC0);
    EXPECT_NE(frame[1], 0xC0);
    receiver.Feed(frame);
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].data.size(), 64u);
    EXPECT_EQ(receiver.parser.DecryptDataToString(receiver.messages[0].data), xml);
}

}  // namespace
}  // namespace protocol
