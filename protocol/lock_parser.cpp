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
            ResetFrame();
            inFrame_ = true;
            return;
        case kFrameEOF:
            if (inFrame_ && !buffer_.empty()) EndFrame();
            return;
        case kFrameEscape: escape_ = true; return;
        default: break;
    }
    if (!inFrame_) return;
    if (escape_) {
        escape_ = false;
        byte ^= 0x20;
    }
    if (held_) {
        if (buffer_.size() >= kMaxFrameBytes) {
            ResetFrame();
            inFrame_ = false;
            return;
        }
        buffer_.push_back(heldByte_);
        checksum_ = LockChecksumStep(checksum_, heldByte_);
    }
    heldByte_ = byte;
    held_ = true;
}

void clsLockParser::EndFrame() {
    bool good = heldByte_ == checksum_;
    std::int16_t command = 0;
    Bytes data;
    if (good) {
        auto first = buffer_.begin();
        if (commandActive_) command = static_cast<std::int16_t>(*first++);
        data.assign(first, buffer_.end());
    }
    // Reset before delivering so a receiver may feed the parser again.
    ResetFrame();
    inFrame_ = false;
    if (good && msgReceived_) msgReceived_(command, data);
}

void clsLockParser::ResetFrame() {
    buffer_.clear();
    checksum_ = 0;
    held_ = false;
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
