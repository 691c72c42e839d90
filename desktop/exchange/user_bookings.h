#pragma once

#include <map>

#include "platform/dao/database.h"

namespace tandrel {

// What a collection books on the users whose enrolments it settled or
// removed, gathered over many locks and written once per user: one pending
// change fewer for each (not below 0), one enrolled lock fewer for each
// removal, and a deleted user whose last enrolment went is removed for
// good. The same as booking each one as it comes: the counters only go
// down, so their order does not matter.
class UserBookings {
  public:
    void Settled(int userKey) { ++changes_[userKey].settled; }
    void Removed(int userKey) { ++changes_[userKey].removed; }
    bool Empty() const { return changes_.empty(); }

    // Writes and forgets them; true when a deleted user was removed for
    // good.
    bool Write(dao::Database& db);

  private:
    struct Change {
        int settled = 0;
        int removed = 0;
    };
    std::map<int, Change> changes_;
};

}  // namespace tandrel
