#pragma once

#include <functional>
#include <optional>
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

// Visits the lock's pending enrolments in slot order; stops at the first
// non-zero result of `visit` and returns it.
int ForEachPendingEnrolment(dao::Database& db, int lockKey,
                            const std::function<int(const PendingEnrolment&)>& visit);

// How many users the lock has enrolled, in any state.
int EnrolmentCount(dao::Database& db, int lockKey);

// Gives every enrolment of the locks waiting for its user (Record State 2
// or 3) its user's current revision with the pending mark, once the users
// are queued: one statement for all of them.
void MarkUserRevisionsQueued(dao::Database& db, const std::vector<int>& lockKeys);

// Enrolments of the lock in slots [first, last] that wait for removal
// (Record State 4): their rows and users.
struct LeavingEnrolment {
    qint64 row = 0;
    int userKey = 0;
};
std::vector<LeavingEnrolment> EnrolmentsLeaving(dao::Database& db, int lockKey, int first,
                                                int last);
void DeleteEnrolment(dao::Database& db, qint64 row);

// The enrolment in a lock's slot, with what settling a delivered user write
// needs of it and of its user.
struct SlotEnrolment {
    qint64 row = 0;
    int userType = 0;
    int recordState = 0;
    std::int16_t downloadedRevision = 0;
    bool userFound = false;
    int userKey = 0;
    std::int16_t userRevision = 0;
};
std::optional<SlotEnrolment> EnrolmentInSlot(dao::Database& db, int lockKey, int slot);
// Stores the enrolment's revision column and state.
void SettleEnrolment(dao::Database& db, const SlotEnrolment& enrolment);
// One change fewer waiting for the user (Pending Action Counter, not
// below 0).
void LowerUserPending(dao::Database& db, int userKey);

}  // namespace tandrel
