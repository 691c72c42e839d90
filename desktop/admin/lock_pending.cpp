#include "desktop/admin/lock_pending.h"

namespace tandrel {

int NormalisedPendingCounter(int counter, int dataDownloadedFlag) {
    if (dataDownloadedFlag != 0) return 2;
    if (counter > 2) return 1;
    if (counter < 0) return 0;
    return counter;
}

int PendingCounterAfter(LockEvent event, int normalised) {
    switch (event) {
        case LockEvent::Queued: return 1;
        case LockEvent::Collected: return normalised == 2 ? 2 : 0;
        case LockEvent::Purged: return 2;
    }
    return normalised;
}

void ApplyLockEvent(CLocksRecordset& locks, LockEvent event) {
    int normalised =
        NormalisedPendingCounter(locks.m_PendingActionCounter, locks.m_DataDownloadedFlag);
    locks.m_DataDownloadedFlag = 0;
    locks.m_PendingActionCounter = PendingCounterAfter(event, normalised);
}

void MarkLockPending(CLocksRecordset& locks) {
    locks.Edit();
    if (locks.m_DataDownloadedFlag != 0) locks.m_DataDownloadedFlag = 0;
    locks.m_PendingActionCounter = 2;
    locks.Update();
}

}  // namespace tandrel
