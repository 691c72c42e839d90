#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/dao/database.h"

namespace tandrel {

// An enrolment as a collection sees it, with its user's revision.
struct CollectedEnrolment {
    qint64 rowid = 0;
    int slot = 0;
    int userType = 0;
    int recordState = 0;
    std::int16_t downloadedRevision = 0;
    int userKey = 0;
    bool userFound = false;
    std::int16_t userRevision = 0;
    bool changed = false;
    bool deleted = false;
};

// Where a collection reads the enrolments of the locks it meets: one pass
// through the whole table when the device holds the programming of much of
// the facility (a lock's enrolments are spread over all of it), else each
// lock's looked up when it comes.
class EnrolmentSource {
  public:
    EnrolmentSource(dao::Database& db, bool wholeTable);
    // The lock's enrolments in slot order; each lock is asked for once.
    std::vector<CollectedEnrolment> Take(int lockKey);

  private:
    dao::Database& db_;
    std::optional<std::map<int, std::vector<CollectedEnrolment>>> byLock_;
};

// The enrolments of one lock as its delivered records change them, in
// memory, record by record.
class LockEnrolments {
  public:
    explicit LockEnrolments(std::vector<CollectedEnrolment> rows) : rows_(std::move(rows)) {}

    // The lock cleared slots [first, last]: the enrolments there waiting
    // for removal are gone. The keys of their users.
    std::vector<int> Removed(int first, int last);
    // The lock holds the user written to `slot` as `heldType`: the
    // enrolment takes the written revision, and is current when that is
    // its user's latest with the type the facility gave it. The user's key
    // when the enrolment became current.
    std::optional<int> Written(int slot, int heldType);
    // Moves the rows that changed to `changes`.
    void TakeChanges(std::vector<CollectedEnrolment>& changes);

  private:
    CollectedEnrolment* InSlot(int slot);
    std::vector<CollectedEnrolment> rows_;  // in slot order
};

// Writes changed enrolments in table order, where each next row is most
// likely on the page just written.
void WriteEnrolmentChanges(dao::Database& db, std::vector<CollectedEnrolment>& changes);

}  // namespace tandrel
