#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "desktop/admin/user_type.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// One user's enrolment in one lock as a sheet holds it while it is edited:
// the state stored in the database and the state on the page.
struct EnrolmentDraft {
    int lockKey = 0;
    int userKey = 0;
    int storedState = kNotEnrolled;  // 0: no row in the database
    int state = kNotEnrolled;        // on the page
    std::uint8_t typeByte = 0;       // type code and rights
    bool useDefaults = true;
    int downloadRev = 0;  // Download User Rev Number of the stored row
    int slot = -1;        // Lock User Index of the stored row

    bool HasRow() const { return storedState != kNotEnrolled; }
    bool Enrolled() const { return CountsAsEnrolled(state); }
    bool Programmer() const { return IsProgrammerByte(typeByte); }
    bool Changed(const EnrolmentDraft& stored) const;
};

// Enrolling on a page: a pending removal comes back to its stored state (a
// stored removal becomes a pending enrolment); not enrolled becomes pending
// enrolment. Returns whether it newly needs a slot (no stored row).
bool EnrolDraft(EnrolmentDraft& draft);

// Removing on a page: an enrolment that never reached the lock is dropped
// (state 0); anything else becomes a pending removal.
void RemoveDraft(EnrolmentDraft& draft);

// The lowest free slot of a lock below its capacity, or -1.
int LowestFreeSlot(dao::Database& db, int lockKey, int capacity);

// The free slots of one lock, handed out lowest first: for saves that add
// many enrolments to the same lock.
class SlotAllocator {
  public:
    SlotAllocator(dao::Database& db, int lockKey, int capacity);
    // The lowest slot not yet taken, now taken; -1 when none is left.
    int Take();

  private:
    std::vector<bool> used_;
    std::size_t next_ = 0;
};
// Slots of a lock still free: its capacity less its enrolment rows.
int FreeSlotCount(dao::Database& db, int lockKey, int capacity);
// Locks.PgmIDCount of a lock, 0 when the lock is not found.
int ProgrammerCount(dao::Database& db, int lockKey);

// Appends the enrolment row of a draft in the given slot, not yet
// delivered (Download User Rev Number 0).
void AppendEnrolmentRow(CUsersToLocksRecordset& rows, const EnrolmentDraft& draft, int slot);

// The stored enrolments of a user (or of a lock), as drafts.
std::vector<EnrolmentDraft> StoredEnrolmentsOfUser(dao::Database& db, int userKey);
std::vector<EnrolmentDraft> StoredEnrolmentsOfLock(dao::Database& db, int lockKey);

}  // namespace tandrel
