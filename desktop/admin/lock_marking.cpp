#include "desktop/admin/lock_marking.h"

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"

namespace tandrel {
namespace {

bool NeedsMarking(const CLocksRecordset& locks) {
    return locks.m_PendingActionCounter != kNotYetHanded || locks.m_DataDownloadedFlag != 0 ||
           locks.m_RecordState == kLockCurrent;
}

}  // namespace

void MarkLocksForFacilityData(CLocksRecordset& locks) {
    locks.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        if (locks.m_RecordState == kLockRemoved || !NeedsMarking(locks)) continue;
        locks.Edit();
        ApplyLockEvent(locks, LockEvent::Purged);
        if (locks.m_RecordState == kLockCurrent) locks.m_RecordState = kLockUpdatePending;
        locks.Update();
    }
}

}  // namespace tandrel
