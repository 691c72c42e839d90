#include "tools/lockframe/drop_report.h"

#include <cstdio>
#include <string>

#include "protocol/hex.h"

namespace lockframe {
namespace {

// Enough of a dropped frame to recognise it; a flood would bury the lines
// that matter.
constexpr std::size_t kShownBytes = 64;

std::string Shown(protocol::ByteView bytes) {
    if (bytes.size() <= kShownBytes) return protocol::ToHex(bytes);
    return protocol::ToHex(bytes.first(kShownBytes)) + " ... (" + std::to_string(bytes.size()) +
           " bytes)";
}

std::string Hex2(std::uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

}  // namespace

DropReport::DropReport(protocol::clsLockParser& parser, std::ostream& out)
    : parser_(parser), out_(out) {
    parser_.SetFrameDropped([this](const protocol::LockFrameDrop& drop) { Dropped(drop); });
}

void DropReport::Feed(protocol::ByteView stream) {
    for (at_ = 0; at_ < stream.size(); ++at_) {
        parser_.ParseBytes(stream.subspan(at_, 1));
        if (!stray_.empty() && strayStart_ + stray_.size() != at_ + 1) EndStrayRun();
    }
    EndStrayRun();
    if (parser_.InFrame()) {
        std::size_t held = parser_.FrameBytes();
        out_ << "end of input: unfinished frame, " << held << (held == 1 ? " byte" : " bytes")
             << " not decoded\n";
    }
}

void DropReport::Dropped(const protocol::LockFrameDrop& drop) {
    if (drop.reason == protocol::LOCK_FRAME_DROP_STRAY_BYTE) {
        if (stray_.empty()) strayStart_ = at_;
        stray_.insert(stray_.end(), drop.bytes.begin(), drop.bytes.end());
        return;
    }
    EndStrayRun();
    out_ << "byte " << at_ << ": ";
    switch (drop.reason) {
        case protocol::LOCK_FRAME_DROP_BAD_CHECK:
            out_ << "bad check byte " << Hex2(drop.checkByte) << " (expected "
                 << Hex2(drop.expectedCheck) << "), frame dropped: " << Shown(drop.bytes);
            break;
        case protocol::LOCK_FRAME_DROP_OVERSIZE:
            out_ << "frame longer than " << protocol::clsLockParser::kMaxFrameBytes
                 << " bytes, dropped";
            break;
        case protocol::LOCK_FRAME_DROP_RESTARTED:
            out_ << "frame restarted by a BOF, dropped: " << Shown(drop.bytes);
            break;
        case protocol::LOCK_FRAME_DROP_EMPTY_END:
            out_ << "end byte with no frame byte before it, ignored (the frame stays open)";
            break;
        case protocol::LOCK_FRAME_DROP_STRAY_BYTE: break;
    }
    out_ << "\n";
}

void DropReport::EndStrayRun() {
    if (stray_.empty()) return;
    std::size_t last = strayStart_ + stray_.size() - 1;
    if (stray_.size() == 1) {
        out_ << "byte " << strayStart_ << ": stray byte outside any frame, skipped: ";
    } else {
        out_ << "bytes " << strayStart_ << "-" << last
             << ": stray bytes outside any frame, skipped: ";
    }
    out_ << Shown(stray_) << "\n";
    stray_.clear();
}

}  // namespace lockframe
