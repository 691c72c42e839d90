// How a saved user sheet brings the user's enrolments and their locks up to
// date.
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

void SeekLock(CLocksRecordset& locks, int lockKey) {
    if (!locks.FindByKey(lockKey)) dao::Throw(dao::kErrNoCurrentRecord);
}

void SeekRow(CUsersToLocksRecordset& rows, int lockKey, int slot) {
    if (!rows.FindByKey({lockKey, slot})) dao::Throw(dao::kErrNoCurrentRecord);
}

}  // namespace

void CLockUsersSheet::WritePageEnrolments(int flags) {
    dao::Database& db = doc_.Db();
    CLocksRecordset locks(db);
    CUsersToLocksRecordset rows(db);
    for (LockEnrolmentEntry& e : locks_) {
        EnrolmentDraft& d = e.draft;
        const EnrolmentDraft& s = e.stored;
        // Enrolments that follow the user's defaults follow a new default.
        if (d.useDefaults && d.Enrolled() && d.typeByte != DefaultTypeByte()) {
            e.programmers +=
                (IsProgrammerByte(DefaultTypeByte()) ? 1 : 0) - (d.Programmer() ? 1 : 0);
            d.typeByte = DefaultTypeByte();
            if (d.state == kEnrolmentCurrent) d.state = kPendingUpdate;
        }
        // A changed ID, PIN or group must reach every lock that holds the user.
        if ((flags & kReachesEveryLock) && d.state == kEnrolmentCurrent) d.state = kPendingUpdate;
        if (!s.HasRow() && d.state == kNotEnrolled) continue;
        SeekLock(locks, d.lockKey);
        if (s.HasRow()) {
            if ((flags & kReachesEveryLock) && s.storedState != kPendingRemoval)
                MarkLockPending(locks);
            SeekRow(rows, d.lockKey, s.slot);
            if (s.storedState == kPendingEnrolment && d.state == kNotEnrolled) {
                MarkLockPending(locks);
                --pendingDelta_;
                --enrolledDelta_;
                rows.Delete();
            } else if (d.Changed(s)) {
                rows.Edit();
                rows.m_UseTypeDefaults = d.useDefaults;
                rows.m_UserType = d.typeByte;
                rows.m_RecordState = static_cast<std::uint8_t>(d.state);
                rows.Update();
                if (s.storedState == kEnrolmentCurrent &&
                    (d.state == kPendingUpdate || d.state == kPendingRemoval)) {
                    MarkLockPending(locks);
                    ++pendingDelta_;
                }
            }
        } else {
            int slot = LowestFreeSlot(db, d.lockKey, e.capacity);
            if (slot < 0) dao::Throw(dao::kErrInvalidArgument);
            d.userKey = userKey_;
            AppendEnrolmentRow(rows, d, slot);
            MarkLockPending(locks);
            ++pendingDelta_;
            ++enrolledDelta_;
        }
        const int enrolledUsers = e.capacity - e.freeSlots;
        if (locks.m_PgmIDCount != e.programmers || locks.m_EnrolledUserCounter != enrolledUsers) {
            locks.Edit();
            locks.m_PgmIDCount = static_cast<std::int16_t>(e.programmers);
            locks.m_EnrolledUserCounter = enrolledUsers;
            locks.Update();
        }
    }
}

void CLockUsersSheet::WriteEnrolmentsWithoutPage(int flags) {
    dao::Database& db = doc_.Db();
    CLocksRecordset locks(db);
    CUsersToLocksRecordset rows(db);
    for (const EnrolmentDraft& s : StoredEnrolmentsOfUser(db, userKey_)) {
        if (s.storedState == kPendingRemoval) continue;
        SeekLock(locks, s.lockKey);
        SeekRow(rows, s.lockKey, s.slot);
        bool toUpdate = false;
        if (flags & kReachesEveryLock) {
            MarkLockPending(locks);
            toUpdate = true;
        }
        std::uint8_t byte = s.typeByte;
        if ((flags & kTypeOrRightsChanged) && s.useDefaults && DefaultTypeByte() != byte) {
            int change = (IsProgrammerByte(DefaultTypeByte()) ? 1 : 0) - (s.Programmer() ? 1 : 0);
            if (change != 0) {
                locks.Edit();
                locks.m_PgmIDCount = static_cast<std::int16_t>(locks.m_PgmIDCount + change);
                locks.Update();
            }
            byte = DefaultTypeByte();
            toUpdate = true;
        }
        if (!toUpdate) continue;
        rows.Edit();
        rows.m_UserType = byte;
        if (s.storedState == kEnrolmentCurrent) {
            rows.m_RecordState = kPendingUpdate;
            ++pendingDelta_;
        }
        rows.Update();
    }
}

}  // namespace tandrel
