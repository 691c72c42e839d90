#include "desktop/admin/conversion_posting.h"

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"

namespace tandrel {

int MarkEnrolmentsForUpdate(CUsersToLocksRecordset& enrolments, int userKey,
                            std::set<int>& lockKeys) {
    const QString index = QStringLiteral("User Index");
    if (enrolments.Raw().Index() != index) enrolments.SetCurrentIndex(index);
    int marked = 0;
    if (!enrolments.Seek(QStringLiteral("="), {userKey})) return 0;
    for (; !enrolments.IsEOF() && enrolments.m_UserIndex == userKey; enrolments.MoveNext()) {
        if (enrolments.m_RecordState != kEnrolmentCurrent) continue;
        enrolments.Edit();
        enrolments.m_RecordState = kPendingUpdate;
        enrolments.Update();
        lockKeys.insert(enrolments.m_LockIndex);
        ++marked;
    }
    return marked;
}

void CountBulkChange(CLockUsersRecordset& users, int markedRows, bool stateChanges) {
    users.m_PendingActionCounter += markedRows;
    if (stateChanges && users.m_RecordState == kUserActive)
        users.m_RecordState = kUserChangedInBulk;
    users.m_RevisionCounter = static_cast<std::int16_t>(users.m_RevisionCounter + 1);
}

void PurgeLocks(CLocksRecordset& locks, const std::set<int>& lockKeys) {
    for (int key : lockKeys) {
        if (!locks.FindByKey(key)) continue;
        locks.Edit();
        ApplyLockEvent(locks, LockEvent::Purged);
        locks.Update();
    }
}

std::set<int> AutocodeGroups(CGroupsRecordset& groups) {
    std::set<int> keys;
    groups.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (groups.MoveFirst(); !groups.IsEOF(); groups.MoveNext()) {
        if (groups.m_AutocodeEnabled) keys.insert(groups.m_GroupKey);
    }
    return keys;
}

}  // namespace tandrel
