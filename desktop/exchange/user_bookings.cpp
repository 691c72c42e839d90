#include "desktop/exchange/user_bookings.h"

#include <algorithm>

#include "desktop/data/facility_states.h"

namespace tandrel {
namespace {

// A counter lowered `times` times, never below 0 (one below 0 already is
// left alone).
int Lowered(int counter, int times) {
    return counter > 0 ? std::max(counter - times, 0) : counter;
}

}  // namespace

bool UserBookings::Write(dao::Database& db) {
    auto& read = db.Connection().Cached(
        "SELECT \"Pending Action Counter\", \"Enrolled Lock Counter\", \"Record State\" FROM "
        "Users WHERE \"User Key\" = ?");
    auto& write = db.Connection().Cached(
        "UPDATE Users SET \"Pending Action Counter\" = ?, \"Enrolled Lock Counter\" = ?, "
        "\"Record State\" = ? WHERE \"User Key\" = ?");
    bool removedForGood = false;
    for (const auto& [userKey, change] : changes_) {
        read.Reset();
        read.BindInt(1, userKey);
        if (!read.Step()) continue;
        int pending = Lowered(static_cast<int>(read.Int(0)), change.settled + change.removed);
        const int enrolled = Lowered(static_cast<int>(read.Int(1)), change.removed);
        int state = static_cast<int>(read.Int(2));
        if (change.removed > 0 && enrolled < 1 && state == kUserPendingRemoval) {
            pending = 0;
            state = kUserRemoved;
            removedForGood = true;
        }
        write.Reset();
        write.BindInt(1, pending);
        write.BindInt(2, enrolled);
        write.BindInt(3, state);
        write.BindInt(4, userKey);
        write.Run();
    }
    read.Reset();
    write.Reset();
    changes_.clear();
    return removedForGood;
}

}  // namespace tandrel
