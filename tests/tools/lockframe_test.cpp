#include <gtest/gtest.h>

#include <sstream>

#include "protocol/lock_parser.h"
#include "tools/lockframe/lockframe.h"

namespace {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

Result Lockframe(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = lockframe::Run(args, out, err);
    return {code, out.str(), err.str()};
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

TEST(Lockframe, DecodeReadsWhatEncodeWrote) {
    Result frame = Lockframe({"encode", "0x31", "C5 00 12"});
    ASSERT_EQ(frame.exitCode, 0) << frame.err;
    EXPECT_EQ(Trimmed(frame.out).substr(0, 24), "C0 C0 C0 C0 C0 31 CE E5 ");
    Result decoded = Lockframe({"decode", Trimmed(frame.out)});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.out, "31 Write User Record: C5 00 12\n");
}

TEST(Lockframe, DecodeSplitsAStreamIntoFramesAndSkipsBadOnes) {
    std::string good = Trimmed(Lockframe({"encode", "16"}).out);
    std::string second = Trimmed(Lockframe({"encode", "200", "01"}).out);
    Result decoded = Lockframe({"decode", good, "C0 10 00 C1", second});
    EXPECT_EQ(decoded.out, "10 Get Logon Cert:\nC8 UNKNOWN (200): 01\n");
    Result none = Lockframe({"decode", "C0 10 00 C1"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("no good frame"), std::string::npos);
}

TEST(Lockframe, DecodeSaysWhereAndWhyEachRejectedFrameWasDropped) {
    std::string good = Trimmed(Lockframe({"encode", "16"}).out);
    Result decoded = Lockframe(
        {"decode", "55 66", good, "99", "C0 10 00 C1", "C0 41 C1", "C0 10 11 12", "C0 10 11"});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.out, "10 Get Logon Cert:\n");
    EXPECT_EQ(decoded.err,
              "bytes 0-1: stray bytes outside any frame, skipped: 55 66\n"
              "byte 10: stray byte outside any frame, skipped: 99\n"
              "byte 14: bad check byte 00 (expected 9D), frame dropped: 10\n"
              "byte 17: end byte with no frame byte before it, ignored (the frame stays open)\n"
              "byte 18: frame restarted by a BOF, dropped: 41\n"
              "byte 22: frame restarted by a BOF, dropped: 10 11 12\n"
              "end of input: unfinished frame, 2 bytes not decoded\n");
}

TEST(Lockframe, DecodeReportsFloodsWithoutRepeatingThem) {
    const std::size_t limit = protocol::clsLockParser::kMaxFrameBytes;
    std::string flood = "C0";
    for (std::size_t i = 0; i < limit + 2; ++i) flood += " 41";
    Result oversize = Lockframe({"decode", flood});
    EXPECT_EQ(oversize.exitCode, 1);
    EXPECT_EQ(oversize.err, "byte " + std::to_string(limit + 2) + ": frame longer than " +
                                std::to_string(limit) +
                                " bytes, dropped\nno good frame in the input\n");

    std::string noise;
    for (int i = 0; i < 100; ++i) noise += "41 ";
    Result stray = Lockframe({"decode", noise});
    std::string shown;
    for (int i = 0; i < 64; ++i) shown += "41 ";
    EXPECT_EQ(stray.err, "bytes 0-99: stray bytes outside any frame, skipped: " + shown +
                             "... (100 bytes)\nno good frame in the input\n");
}

TEST(Lockframe, EncryptedTextOverARecordLink) {
    Result frame = Lockframe({"encode", "0", "--bof", "1", "--no-command", "--text", "<Ping/>"});
    ASSERT_EQ(frame.exitCode, 0) << frame.err;
    EXPECT_EQ(frame.out.substr(0, 3), "C0 ");
    EXPECT_NE(frame.out.substr(3, 2), "C0");
    EXPECT_EQ(Lockframe({"decode", "--text", Trimmed(frame.out)}).out, "<Ping/>\n");
    Result otherKey =
        Lockframe({"decode", "--text", "--key", "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF",
                   Trimmed(frame.out)});
    EXPECT_EQ(otherKey.exitCode, 0);
    EXPECT_NE(otherKey.out, "<Ping/>\n");
}

TEST(Lockframe, BadInputIsRejectedWithAMessage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"decode", "C0 1"},
             {"decode", "ZZ"},
             {"encode", "300"},
             {"encode", "abc"},
             {"encode", "16", "0G"},
             {"encode", "16", "--bof"},
             {"encode", "16", "--frobnicate"},
             {"encode", "16", "--key", "5E 2B"},
             {"pin", "01 02 03 04"},
             {"mix", "01 02 03 04 05 06"},
             {"commcode", "--name", "Acme", "--time", "13/01 00:00:00"},
             {"commcode", "--name", "Acme"},
             {"date", "2026-02-30"},
             {"date", "70000"},
             {"ir-decode", "C0 C"},
             {"explode"},
             {}}) {
        Result r = Lockframe(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(Lockframe, IrDecodeReportsTheParseResult) {
    std::string frame = Trimmed(Lockframe({"encode", "0x26", "00 02 03 0A"}).out);
    EXPECT_EQ(Lockframe({"ir-decode", frame}).out,
              "result 0 (reply received)\nreply 26 00 02 03 0A\n");
    Result framing = Lockframe({"ir-decode", "C0 9D C1"});
    EXPECT_EQ(framing.out, "result 2 (framing error)\n");
    EXPECT_EQ(framing.exitCode, 1);
    EXPECT_EQ(Lockframe({"ir-decode", "C0 10 00 C1"}).out, "result 3 (check error)\n");
}

TEST(Lockframe, MixingCommands) {
    EXPECT_EQ(Lockframe({"pin", "01 02 5A 12 34"}).out, "8F 8D FF\n");
    EXPECT_EQ(Lockframe({"mix", "0000000001"}).out, "22 FB\n");
    EXPECT_EQ(Lockframe({"commcode", "--name", "Acme", "--time", "03/14 09:26:53"}).out,
              "2422 (0x0976)\n");
    EXPECT_EQ(Lockframe({"password", "secret1"}).out, "6736secret1\n");
}

TEST(Lockframe, PackedDateBothWays) {
    EXPECT_EQ(Lockframe({"date", "2026-12-08"}).out, "17946 (0x461A)\n");
    EXPECT_EQ(Lockframe({"date", "0x461A", "--today", "2026-01-01"}).out, "2026-12-08\n");
    EXPECT_EQ(Lockframe({"date", "17946"}).out, "2026-12-08\n");
    Result none = Lockframe({"date", "0"});
    EXPECT_EQ(none.exitCode, 1);
}

TEST(Lockframe, DemoLogsOn) {
    Result demo = Lockframe({"demo"});
    EXPECT_EQ(demo.exitCode, 0);
    EXPECT_NE(demo.out.find("response accepted"), std::string::npos);
    EXPECT_NE(demo.out.find("Logged on."), std::string::npos);
}

}  // namespace
