// Stores arbitrary bytes in the handheld's receive ring (wrapping past its
// end) and parses it; an accepted reply must frame and parse back to itself.
#include <cstdint>
#include <cstdlib>

#include "protocol/ir_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    protocol::IrReceiveRing ring;
    for (std::size_t i = 0; i < size; ++i) ring.Store(data[i]);
    protocol::Bytes reply;
    if (ring.ParseReply(reply) != protocol::IR_PARSE_OK) return 0;
    if (reply.empty() || ring.WriteIndex() != 0) std::abort();

    // Command bytes are never escaped, so a reply code in the framing range
    // (which no lock sends) cannot be framed again.
    if ((reply[0] & 0xF0) == 0xC0) return 0;
    protocol::Bytes frame = protocol::BuildIrFrame(reply[0], protocol::ByteView(reply).subspan(1));
    if (frame.size() > protocol::IrReceiveRing::kSize) return 0;
    for (std::uint8_t b : frame) ring.Store(b);
    protocol::Bytes again;
    if (ring.ParseReply(again) != protocol::IR_PARSE_OK || again != reply) std::abort();
    return 0;
}
