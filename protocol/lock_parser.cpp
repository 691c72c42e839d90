#include "lock_parser.h"

#include "lock_checksum.h"

namespace protocol {
namespace {
constexpr std::size_t kInitialBufferBytes = 81;
}

clsLockParser::clsLockParser() {
    buffer_.reserve(kInitialBufferBytes);
    SetEncryptKey(kDefaultEncryptKey);
}

void clsLockParser::SetEncryptKey(std::string keyText) {
    encryptKey_ = std::move(keyText);
    key_ = ParseCipherKey(encryptKey_);
}

Bytes clsLockParser::BuildMessage(std::int16_t Command, ByteView Data) const {
    if (!commandActive_ && Data.empty()) return {};
    std::size_t bofs = bofCount_ > 0 ? static_cast<std::size_t>(bofCount_) : 0;
    std::optional<std::uint8_t> code;
    if (commandActive_) code = static_cast<std::uint8_t>(Command);
    return BuildFrame(bofs, code, Data);
}

void clsLockParser::ParseBytes(ByteView bytes) {
    for (std::uint8_t byte : bytes) ReceiveByte(byte);
}

void clsLockParser::ReceiveByte(std::uint8_t byte) {
    switch (byte) {
        case kFrameBOF:
            // The escape flag deliberately survives a restart.
            if (held_) [[unlikely]] {
                DropFrame({LOCK_FRAME_DROP_RESTARTED});
            } else {
                ResetFrame();
                inFrame_ = true;
            }
            return;
        case kFrameEOF:
            if (inFrame_ && !buffer_.empty()) {
                EndFrame();
            } else [[unlikely]] {
                DropByte(inFrame_ ? LOCK_FRAME_DROP_EMPTY_END : LOCK_FRAME_DROP_STRAY_BYTE, byte);
            }
            return;
        case kFrameEscape:
            escape_ = true;
            if (!inFrame_) [[unlikely]] {
                DropByte(LOCK_FRAME_DROP_STRAY_BYTE, byte);
            }
            return;
        default: break;
    }
    if (!inFrame_) [[unlikely]] {
        DropByte(LOCK_FRAME_DROP_STRAY_BYTE, byte);
        return;
    }
    if (escape_) {
        escape_ = false;
        byte ^= 0x20;
    }
    if (held_) {
        if (buffer_.size() >= kMaxFrameBytes) [[unlikely]] {
            DropFrame({LOCK_FRAME_DROP_OVERSIZE});
            return;
        }
        buffer_.push_back(heldByte_);
        checksum_ = LockChecksumStep(checksum_, heldByte_);
    }
    heldByte_ = byte;
    held_ = true;
}

void clsLockParser::EndFrame() {
    if (heldByte_ != checksum_) [[unlikely]] {
        DropFrame({LOCK_FRAME_DROP_BAD_CHECK, {}, heldByte_, checksum_});
        return;
    }
    std::int16_t command = 0;
    auto first = buffer_.begin();
    if (commandActive_) command = static_cast<std::int16_t>(*first++);
    Bytes data(first, buffer_.end());
    // Reset before delivering so a receiver may feed the parser again.
    ResetFrame();
    inFrame_ = false;
    if (msgReceived_) msgReceived_(command, data);
}

void clsLockParser::ResetFrame() {
    buffer_.clear();
    checksum_ = 0;
    held_ = false;
}

void clsLockParser::DropFrame(LockFrameDrop drop) {
    ++dropCounts_[drop.reason];
    // A restart comes from a BOF, so the new frame is open at once.
    bool restarted = drop.reason == LOCK_FRAME_DROP_RESTARTED;
    Bytes bytes;
    if (frameDropped_) {
        bytes = buffer_;
        if (restarted) bytes.push_back(heldByte_);
    }
    ResetFrame();
    inFrame_ = restarted;
    if (!frameDropped_) return;
    drop.bytes = bytes;
    frameDropped_(drop);
}

void clsLockParser::DropByte(LockFrameDropReason reason, std::uint8_t byte) {
    ++dropCounts_[reason];
    if (frameDropped_) frameDropped_({reason, ByteView(&byte, 1)});
}

Bytes clsLockParser::EncryptStringToData(std::string_view Text) const {
    if (!key_) return {};
    return EncryptText(Text, *key_).value_or(Bytes{});
}

std::string clsLockParser::DecryptDataToString(ByteView Data) const {
    if (!key_) return {};
    return DecryptText(Data, *key_).value_or(std::string{});
}

Bytes clsLockParser::BuildEncryptedMessage(std::string_view Text) const {
    if (!key_) return {};
    std::optional<Bytes> data = EncryptText(Text, *key_);
    if (!data) return {};
    return BuildMessage(0, *data);
}

}  // namespace protocol
