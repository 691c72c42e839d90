#include "desktop/exchange/lost_programming.h"

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/exchange/device_rows.h"

namespace tandrel {
namespace {

std::vector<int> HandedLocks(dao::Database& db, int deviceKey) {
    std::vector<int> keys;
    auto locks = LocksOfDevice(db, deviceKey);
    for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
        if (NormalisedPendingCounter(locks->m_PendingActionCounter, locks->m_DataDownloadedFlag) ==
            kHandedToDevice)
            keys.push_back(locks->m_LockKey);
    }
    return keys;
}

}  // namespace

int RequeueLostProgramming(dao::Database& db, ProgramStore& store, int deviceKey,
                           std::vector<int>* requeued) {
    std::vector<int> lost;
    for (int lock : HandedLocks(db, deviceKey)) {
        bool holds = false;
        if (int error = HoldsLockRecords(store, lock, holds)) return error;
        if (!holds) lost.push_back(lock);
    }
    if (!lost.empty()) {
        dao::Transaction transaction(db);
        CLocksRecordset locks(db);
        for (int lock : lost) {
            if (locks.FindByKey(lock)) MarkLockPending(locks);
        }
        transaction.Commit();
    }
    if (requeued) *requeued = lost;
    return 0;
}

}  // namespace tandrel
