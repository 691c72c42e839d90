#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bytes.h"
#include "frame.h"
#include "frame_drop.h"
#include "text_cipher.h"

namespace protocol {

// Frame codec of one lock link: builds outgoing frames and turns a stream of
// received bytes into messages. Frames are
//   BOF x BOFCount, [command], escaped data, checksum, EOF.
class clsLockParser {
  public:
    using MsgReceivedHandler = std::function<void(std::int16_t Command, const Bytes& Data)>;
    using FrameDroppedHandler = std::function<void(const LockFrameDrop& drop)>;

    static constexpr const char* kDefaultEncryptKey =
        "5E 2B C7 19 A4 3D 88 F0 61 0C D2 7A 4B 93 E5 36";
    // A frame that grows past this many bytes without an end is dropped; no
    // message of the system comes near it, and it keeps a peer that never
    // sends an end byte from exhausting memory.
    static constexpr std::size_t kMaxFrameBytes = 4 * 1024 * 1024;

    clsLockParser();

    // Receives every good frame, in arrival order, while ParseBytes runs.
    void SetMsgReceived(MsgReceivedHandler handler) { msgReceived_ = std::move(handler); }
    // Told of every frame or byte the receiver discards, while ParseBytes
    // runs, after the receive state has moved on (so it may feed the parser
    // again). Drops are counted whether or not a handler is set.
    void SetFrameDropped(FrameDroppedHandler handler) { frameDropped_ = std::move(handler); }
    std::uint64_t DropCount(LockFrameDropReason reason) const { return dropCounts_[reason]; }

    Bytes BuildMessage(std::int16_t Command, ByteView Data) const;
    void ParseBytes(ByteView bytes);

    // The framed, encrypted text with command code 0; empty when the text
    // cannot be encrypted.
    Bytes BuildEncryptedMessage(std::string_view Text) const;
    // Empty when the key text is malformed or the cipher fails.
    Bytes EncryptStringToData(std::string_view Text) const;
    std::string DecryptDataToString(ByteView Data) const;

    std::int16_t BOFCount() const { return bofCount_; }
    void SetBOFCount(std::int16_t count) { bofCount_ = count; }
    bool CommandActive() const { return commandActive_; }
    void SetCommandActive(bool active) { commandActive_ = active; }
    bool EncryptActive() const { return encryptActive_; }
    void SetEncryptActive(bool active) { encryptActive_ = active; }
    const std::string& EncryptKey() const { return encryptKey_; }
    void SetEncryptKey(std::string keyText);

    // A frame begun and not yet ended, and how many bytes it holds so far
    // (the last of them may turn out to be its check byte).
    bool InFrame() const { return inFrame_; }
    std::size_t FrameBytes() const { return buffer_.size() + (held_ ? 1 : 0); }

  private:
    void ReceiveByte(std::uint8_t byte);
    void EndFrame();
    void ResetFrame();
    void DropFrame(LockFrameDrop drop);
    void DropByte(LockFrameDropReason reason, std::uint8_t byte);

    std::int16_t bofCount_ = 5;
    bool commandActive_ = true;
    bool encryptActive_ = false;
    std::string encryptKey_;
    std::optional<CipherKey> key_;
    MsgReceivedHandler msgReceived_;
    FrameDroppedHandler frameDropped_;
    std::array<std::uint64_t, kLockFrameDropReasons> dropCounts_{};

    // Receive state.
    Bytes buffer_;
    std::uint8_t checksum_ = 0;
    std::uint8_t heldByte_ = 0;
    bool held_ = false;
    bool inFrame_ = false;
    bool escape_ = false;
};

}  // namespace protocol
