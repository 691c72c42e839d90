// Feeds arbitrary bytes to the lock link's frame receiver in arbitrary
// chunks, under each link setting, and checks that every frame it accepts
// frames and parses back to the same message, and that every drop it tells
// of is what its reason says.
#include <array>
#include <cstdint>
#include <cstdlib>

#include "protocol/lock_checksum.h"
#include "protocol/lock_parser.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t settings = data[0];
    const std::uint8_t chunking = data[1];
    data += 2;
    size -= 2;

    protocol::clsLockParser parser;
    parser.SetCommandActive((settings & 1) == 0);
    parser.SetEncryptActive(settings & 2);
    parser.SetBOFCount(static_cast<std::int16_t>((settings >> 2) & 7));
    if (settings & 0x20)
        parser.SetEncryptKey(
            std::string(reinterpret_cast<const char*>(data), size < 47 ? size : 47));

    protocol::clsLockParser echo;
    echo.SetCommandActive(parser.CommandActive());
    int echoed = 0;
    echo.SetMsgReceived([&](std::int16_t, const protocol::Bytes&) { ++echoed; });

    parser.SetMsgReceived([&](std::int16_t command, const protocol::Bytes& message) {
        if (parser.EncryptActive()) {
            std::string text = parser.DecryptDataToString(message);
            protocol::Bytes again = parser.EncryptStringToData(text);
            Check(again.size() % 16 == 0);
        }
        // Whatever was accepted must survive being framed and parsed again;
        // command bytes are never escaped, so codes in the framing range
        // (which no lock uses) cannot be.
        if (parser.CommandActive() && (command & 0xF0) == 0xC0) return;
        protocol::Bytes frame = parser.BuildMessage(command, message);
        if (frame.empty()) return;
        int before = echoed;
        protocol::Bytes withStart = frame;
        withStart.insert(withStart.begin(), protocol::kFrameBOF);
        echo.ParseBytes(withStart);
        Check(echoed == before + 1);
    });

    std::array<std::uint64_t, protocol::kLockFrameDropReasons> told{};
    parser.SetFrameDropped([&](const protocol::LockFrameDrop& drop) {
        Check(drop.reason >= 0 && drop.reason < protocol::kLockFrameDropReasons);
        ++told[drop.reason];
        // Only a BOF or an ignored EOF leaves a frame open.
        bool open = drop.reason == protocol::LOCK_FRAME_DROP_RESTARTED ||
                    drop.reason == protocol::LOCK_FRAME_DROP_EMPTY_END;
        Check(parser.InFrame() == open);
        switch (drop.reason) {
            case protocol::LOCK_FRAME_DROP_BAD_CHECK:
                Check(!drop.bytes.empty() && drop.checkByte != drop.expectedCheck &&
                      protocol::LockChecksum(drop.bytes) == drop.expectedCheck);
                break;
            case protocol::LOCK_FRAME_DROP_OVERSIZE:
                Check(drop.bytes.size() == protocol::clsLockParser::kMaxFrameBytes);
                break;
            case protocol::LOCK_FRAME_DROP_RESTARTED:
                Check(!drop.bytes.empty() && parser.FrameBytes() == 0);
                break;
            case protocol::LOCK_FRAME_DROP_STRAY_BYTE:
                Check(drop.bytes.size() == 1 && drop.bytes[0] != protocol::kFrameBOF);
                break;
            case protocol::LOCK_FRAME_DROP_EMPTY_END:
                Check(drop.bytes.size() == 1 && drop.bytes[0] == protocol::kFrameEOF);
                break;
        }
    });

    std::size_t step = chunking == 0 ? size : chunking;
    for (std::size_t at = 0; at < size; at += step) {
        std::size_t n = size - at < step ? size - at : step;
        parser.ParseBytes(protocol::ByteView(data + at, n));
    }
    for (int reason = 0; reason < protocol::kLockFrameDropReasons; ++reason) {
        Check(told[reason] == parser.DropCount(static_cast<protocol::LockFrameDropReason>(reason)));
    }
    return 0;
}
