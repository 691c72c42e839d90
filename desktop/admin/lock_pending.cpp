#include "desktop/admin/lock_pending.h"

#include "desktop/data/facility_states.h"

namespace tandrel {

int NormalisedPendingCounter(int counter, int dataDownloadedFlag) {
    if (dataDownloadedFlag != 0) return kNotYetHanded;
    if (counter > kNotYetHanded) return kHandedToDevice;
    if (counter < kNothingOutstanding) return kNothingOutstanding;
    return counter;
}

int PendingCounterAfter(LockEvent event, int normalised) {
    switch (event) {
        case LockEvent::Queued: return kHandedToDevice;
        case LockEvent::Collected:
            return normalised == kNotYetHanded ? kNotYetHanded : kNothingOutstanding;
        case LockEvent::Purged: return kNotYetHanded;
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
    locks.m_PendingActionCounter = kNotYetHanded;
    locks.Update();
}

}  // namespace tandrel
