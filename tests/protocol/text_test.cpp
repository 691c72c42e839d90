#include <gtest/gtest.h>

#include "protocol/hex.h"
#include "protocol/windows1252.h"

namespace protocol {
namespace {

TEST(Hex, FormatsAndParses) {
    EXPECT_EQ(ToHex(Bytes{0x00, 0xC0, 0x5a}), "00 C0 5A");
    EXPECT_EQ(ToHex(Bytes{}), "");
    EXPECT_EQ(ParseHex("c0 C0\t10\n7e"), (Bytes{0xC0, 0xC0, 0x10, 0x7E}));
    EXPECT_EQ(ParseHex("C0C010"), (Bytes{0xC0, 0xC0, 0x10}));
    EXPECT_EQ(ParseHex("  "), Bytes{});
}

TEST(Hex, RejectsAnythingElse) {
    EXPECT_FALSE(ParseHex("C"));
    EXPECT_FALSE(ParseHex("C0 1"));
    EXPECT_FALSE(ParseHex("0x10"));
    EXPECT_FALSE(ParseHex("G0"));
    EXPECT_FALSE(ParseHex("C0,10"));
}

TEST(Windows1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

TEST(Windows1252, MapsTheCodePageAndReplacesTheRest) {
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC"), "\x80");  // euro sign
    EXPECT_EQ(Utf8ToWindows1252("\xC3\xA9"), "\xE9");      // e acute
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x80\x9C"
                                "a"),
              "\x93"
              "a");                                         // left double quote
    EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD"), "?");      // not in the code page
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x94\x92"), "?");  // outside the BMP
    EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                                "b"),
              "a?b");                                // malformed
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?");       // cut short
    EXPECT_EQ(Utf8ToWindows1252("\xC0\x80"), "??");  // overlong
}

TEST(Utf8Left, CountsCharacters) {
    EXPECT_EQ(Utf8Left("abc", 2), "ab");
    EXPECT_EQ(Utf8Left("\xC3\xA9\xC3\xA9x", 2), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
}

}  // namespace
}  // namespace protocol
