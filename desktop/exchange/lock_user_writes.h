#pragma once

#include <optional>
#include <unordered_map>

#include "desktop/exchange/lock_payloads.h"
#include "platform/dao/database.h"

namespace tandrel {

// The users a programming run writes to locks (0x31). A user enrolled in
// many locks is read and packed once: its payload differs between locks
// only in the slot, and in the type byte the enrolment gives it.
class LockUserWrites {
  public:
    explicit LockUserWrites(dao::Database& db) : db_(db) {}

    // Whether the facility has a row for the user.
    bool HasUser(int userKey) { return User(userKey) != nullptr; }
    // The payload for the user in `slot` with the enrolment's user type
    // byte; nullopt when the facility has no row for the user.
    std::optional<Bytes> Payload(int userKey, int slot, int userTypeByte);

  private:
    const LockUserData* User(int userKey);

    dao::Database& db_;
    std::unordered_map<int, std::optional<LockUserData>> users_;
    // By user key and type byte, made with slot 0.
    std::unordered_map<qint64, Bytes> payloads_;
};

}  // namespace tandrel
