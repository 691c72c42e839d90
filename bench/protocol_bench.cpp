#include <benchmark/benchmark.h>

#include <random>

#include "protocol/lock_parser.h"

namespace {

protocol::Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    protocol::Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// One 64-byte payload framed by one link end and received by the other.
// Random data puts about one byte in sixteen into the escaped range.
void BM_FrameBuildAndParse64(benchmark::State& state) {
    protocol::clsLockParser sender;
    protocol::clsLockParser receiver;
    std::size_t received = 0;
    receiver.SetMsgReceived(
        [&](std::int16_t, const protocol::Bytes& data) { received += data.size(); });
    const protocol::Bytes payload = RandomBytes(64, 1);
    for (auto _ : state) {
        protocol::Bytes frame = sender.BuildMessage(0x31, payload);
        receiver.ParseBytes(frame);
    }
    if (received != payload.size() * state.iterations()) state.SkipWithError("frames lost");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * payload.size()));
}
BENCHMARK(BM_FrameBuildAndParse64);

// A 1 KiB text encrypted for the record link and decrypted again.
void BM_EncryptDecrypt1KiB(benchmark::State& state) {
    protocol::clsLockParser parser;
    std::string text(1024, ' ');
    std::mt19937 random(2);
    for (auto& c : text) c = static_cast<char>('A' + random() % 26);
    for (auto _ : state) {
        protocol::Bytes data = parser.EncryptStringToData(text);
        std::string back = parser.DecryptDataToString(data);
        benchmark::DoNotOptimize(back);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncryptDecrypt1KiB);

}  // namespace
