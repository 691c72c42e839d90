#include <gtest/gtest.h>

#include "protocol/hex.h"
#include "protocol/mixing.h"

namespace protocol {
namespace {

using Pair = std::array<std::uint8_t, 2>;

TEST(MixBytes, WorkedExample) {
    // Worked through pass by pass: A=B=0, X=0, Y=0, R=1 end as X=0x22, Y=0xFB.
    EXPECT_EQ(MixBytes({0, 0, 0, 0, 1}), (Pair{0x22, 0xFB}));
    EXPECT_EQ(MixBytes({0, 0, 0, 0, 0}), (Pair{0x00, 0x00}));
    EXPECT_EQ(MixBytes({1, 2, 3, 4, 5}), (Pair{0x07, 0x21}));
}

TEST(GeneratePIN, ResponseVectors) {
    EXPECT_EQ(ToHex(GeneratePIN(Bytes{0x01, 0x02, 0x5A, 0x12, 0x34})), "8F 8D FF");
    EXPECT_EQ(ToHex(GeneratePIN(Bytes{0x00, 0x00, 0x5A, 0x00, 0x00})), "69 C3 CC");
    // Bytes past the fifth do not count.
    EXPECT_EQ(ToHex(GeneratePIN(Bytes{0x01, 0x02, 0x5A, 0x12, 0x34, 0x99})), "8F 8D FF");
}

TEST(GeneratePIN, FewerThanFiveSeedBytesGiveNothing) {
    EXPECT_TRUE(GeneratePIN(Bytes{}).empty());
    EXPECT_TRUE(GeneratePIN(Bytes{1, 2, 3, 4}).empty());
}

TEST(LogonSeed, LockWithoutAddressIsAnsweredWithoutFacilityCode) {
    EXPECT_EQ(ToHex(LogonSeed(0x0102, 0x5A, 0x1234)), "01 02 5A 12 34");
    EXPECT_EQ(ToHex(LogonSeed(0, 0x5A, 0x1234)), "00 00 5A 00 00");
}

TEST(CommunicationCode, Vectors) {
    EXPECT_EQ(CommunicationCode({2024, 3, 14, 9, 26, 53}, "Acme"), 2422);
    // Three letters: one pass after the first mix; one letter: one pass too.
    EXPECT_EQ(CommunicationCode({2024, 1, 1, 0, 0, 0}, "ABC"), 35607);
    EXPECT_EQ(CommunicationCode({2024, 1, 1, 0, 0, 0}, "A"), 14211);
    EXPECT_EQ(CommunicationCode({2024, 6, 30, 14, 5, 9}, "Pellandra Tower East"), 51092);
    // An empty name stops after the first mix.
    EXPECT_EQ(CommunicationCode({2024, 12, 31, 23, 59, 59}, ""), 20231);
    // Characters enter as Windows-1252 bytes.
    EXPECT_EQ(CommunicationCode({2024, 7, 4, 12, 0, 0},
                                "M\xC3\xBCller Stra\xC3\x9F"
                                "e"),
              23438);
}

TEST(CommunicationCode, YearDoesNotCount) {
    EXPECT_EQ(CommunicationCode({1999, 3, 14, 9, 26, 53}, "Acme"),
              CommunicationCode({2031, 3, 14, 9, 26, 53}, "Acme"));
}

TEST(DerivedPassword, Vectors) {
    EXPECT_EQ(DerivedPassword("secret1"), "6736secret1");
    EXPECT_EQ(DerivedPassword("Passw0rd!"), "9237Passw0rd!");
    EXPECT_EQ(DerivedPassword("x"), "53925x");
}

TEST(DerivedPassword, IsCutToFourteenCharacters) {
    // Only the leading characters of a long typed password take effect.
    EXPECT_EQ(DerivedPassword("abcdefghijklmn"), "52752abcdefghi");
    EXPECT_EQ(DerivedPassword("abcdefghijklmn").size(), 14u);
    // Characters, not bytes: "é" is two UTF-8 bytes.
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += "\xC3\xA9";
    EXPECT_EQ(DerivedPassword(twelve), "29826" + twelve.substr(0, 9 * 2));
}

}  // namespace
}  // namespace protocol
