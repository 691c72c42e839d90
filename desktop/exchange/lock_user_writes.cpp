#include "desktop/exchange/lock_user_writes.h"

namespace tandrel {

std::optional<Bytes> LockUserWrites::Payload(int userKey, int slot, int userTypeByte) {
    const qint64 key = static_cast<qint64>(userKey) << 8 | (userTypeByte & 0xFF);
    auto found = payloads_.find(key);
    if (found == payloads_.end()) {
        const LockUserData* user = User(userKey);
        if (!user) return std::nullopt;
        LockUserData typed = *user;
        typed.userTypeByte = userTypeByte;
        found = payloads_.emplace(key, WriteUserPayload(typed)).first;
    }
    Bytes payload = found->second;
    payload[0] = static_cast<std::uint8_t>(slot >> 8);
    payload[1] = static_cast<std::uint8_t>(slot);
    return payload;
}

const LockUserData* LockUserWrites::User(int userKey) {
    auto found = users_.find(userKey);
    if (found != users_.end()) return found->second ? &*found->second : nullptr;
    auto& s = db_.Connection().Cached(
        "SELECT \"Lock ID code\", \"Card Media\", \"CardIssueNumber\", \"Home Group\", "
        "\"Group Mask\", \"CurPIN\" FROM Users WHERE \"User Key\" = ?");
    s.BindInt(1, userKey);
    std::optional<LockUserData> user;
    if (s.Step()) {
        user.emplace();
        user->idCode = s.Text(0);
        user->cardMedia = s.Int(1) != 0;
        user->cardIssueNumber = s.Text(2);
        user->homeGroup = static_cast<int>(s.Int(3));
        user->groupMask = static_cast<int>(s.Int(4));
        user->currentPin = s.Text(5);
    }
    s.Reset();
    const auto& stored = users_.emplace(userKey, std::move(user)).first->second;
    return stored ? &*stored : nullptr;
}

}  // namespace tandrel
