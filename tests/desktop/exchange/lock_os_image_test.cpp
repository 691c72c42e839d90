// los-build's image text: rows given verbatim or with their count and
// checksum computed, and the line a mistake is reported on.
#include "tools/los_build/los_image.h"

#include <gtest/gtest.h>

#include "protocol/los_line.h"

namespace los_build {
namespace {

TEST(LosImage, ReadsVerbatimAndComputedRows) {
    const auto parsed = ParseImage(
        "# OS 3.05\n"
        "00010000 0000:00 03 05 0100   # version\n"
        "\n"
        "0x00020000\t031234a50102030c\r\n"
        "10000 FFF0:01\n");
    const auto* rows = std::get_if<std::vector<ImageRow>>(&parsed);
    ASSERT_TRUE(rows);
    EXPECT_EQ(*rows, (std::vector<ImageRow>{{0x10000, "0400000003050100F3"},
                                            {0x20000, "031234a50102030c"},
                                            {0x10000, "00FFF00110"}}));
}

TEST(LosImage, ComputedRowsAlwaysLoadAndFitTheField) {
    const std::string full(2 * kMaxDataBytes, 'E');
    const auto parsed = ParseImage("00010000 ABCD:5A " + full + "\n");
    const auto* rows = std::get_if<std::vector<ImageRow>>(&parsed);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->at(0).pgmData.size(), kMaxLineChars - 1);
    EXPECT_TRUE(protocol::LosRecordOf(rows->at(0).pgmData, 0x10000));
}

TEST(LosImage, NamesTheLineOfAMistake) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"zz 0000:00\n", 1},
        {"# ok\n00010000\n", 2},
        {"00010000 0000:00\n00010000 12345:00\n", 2},
        {"00010000 0000:100\n", 1},
        {"00010000 0000:00 ABC\n", 1},
        {"00010000 0000:00 " + std::string(2 * kMaxDataBytes + 2, 'E') + "\n", 1},
        {"00010000 0400000003050100F3 extra\n", 1},
        {"00010000 " + std::string(256, '0') + "\n", 1},
        {"123456789 0000:00\n", 1}};
    for (const auto& [text, line] : cases) {
        const auto parsed = ParseImage(text);
        const auto* error = std::get_if<ImageError>(&parsed);
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(error->line, line) << text;
        EXPECT_FALSE(error->message.empty());
    }
}

}  // namespace
}  // namespace los_build
