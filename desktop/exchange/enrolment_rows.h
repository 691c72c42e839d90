#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/database.h"

namespace tandrel {

// One enrolment of a lock whose change the lock has yet to get (Record
// State 2 or 3: write the user; 4: clear the slot).
struct PendingEnrolment {
    int recordState = 0;
    int slot = 0;
    int userTypeByte = 0;
    int userKey = 0;
};

// The pending enrolments of the locks of a programming run. A lock's
// enrolments are spread over the whole table: for a run over much of the
// facility one pass through the table in its own order reads them all far
// sooner than looking each lock's up by index; a run over a few locks looks
// them up.
class PendingEnrolments {
  public:
    PendingEnrolments(dao::Database& db, const std::vector<int>& lockKeys);

    // Visits the lock's pending enrolments in slot order; stops at the
    // first non-zero result of `visit` and returns it.
    int ForEach(int lockKey, const std::function<int(const PendingEnrolment&)>& visit);

  private:
    dao::Database& db_;
    std::optional<std::map<int, std::vector<PendingEnrolment>>> read_;  // by lock
};

// Whether `lockCount` locks are enough of the facility's for a pass through
// the whole enrolment table to beat looking their enrolments up.
bool CoversMuchOfTheFacility(dao::Database& db, std::size_t lockCount);

// How many users the lock has enrolled, in any state.
int EnrolmentCount(dao::Database& db, int lockKey);

// Gives every enrolment of the locks waiting for its user (Record State 2
// or 3) its user's current revision with the pending mark, once the users
// are queued: one statement for all of them.
void MarkUserRevisionsQueued(dao::Database& db, const std::vector<int>& lockKeys);

}  // namespace tandrel
