// Removing a lock from the facility.
#include "desktop/admin/directory_texts.h"
#include "desktop/admin/facility_directory.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {

bool FacilityDirectory::RemoveLock(int lockKey, bool* usersRemoved) {
    dao::Database& db = doc_.Db();
    CLocksRecordset lock(db);
    if (!lock.FindByKey(lockKey)) return false;
    const QString path = Contains(lock.m_PathIndex) ? Path(lock.m_PathIndex) : lock.m_FullPath;
    if (prompter_.Ask(texts::RemoveLockQuestion(LockDisplayName(path, lock.m_Name)),
                      PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Exclamation) != PromptAnswer::Yes) {
        return false;
    }
    bool removedForGood = false;
    try {
        dao::Transaction transaction(db);
        CUsersToLocksRecordset rows(db);
        rows.SetCurrentIndex("Lock Index");
        CLockUsersRecordset users(db);
        for (rows.Seek("=", {lockKey}); rows.HasCurrent() && rows.m_LockIndex == lockKey;
             rows.MoveNext()) {
            if (users.FindByKey(rows.m_UserIndex)) {
                users.Edit();
                users.m_EnrolledLockCounter -= 1;
                if (rows.m_RecordState > kEnrolmentCurrent) users.m_PendingActionCounter -= 1;
                if (users.m_RecordState == kUserPendingRemoval && users.m_EnrolledLockCounter < 1) {
                    users.m_RecordState = kUserRemoved;
                    users.m_PendingActionCounter = 0;
                    removedForGood = true;
                }
                users.Update();
            }
            rows.Delete();
        }
        auto& audit = db.Connection().Cached("DELETE FROM \"Audit Data\" WHERE \"LockKey\" = ?");
        audit.BindInt(1, lockKey);
        audit.Run();
        if (lock.m_DeviceLink != 0) FlagDevice(lock.m_DeviceLink);
        lock.Delete();
        transaction.Commit();
    } catch (const dao::Error&) {
        prompter_.Message(texts::kRemoveLockError, PromptIcon::Stop);
        return false;
    }
    if (copiedLock_ == lockKey) copiedLock_ = -1;
    if (usersRemoved) *usersRemoved = removedForGood;
    return true;
}

}  // namespace tandrel
