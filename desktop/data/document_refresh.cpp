#include "desktop/data/facility_document.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"

namespace tandrel {

std::vector<int> CTDXDoc::AllLockKeys() {
    std::vector<int> keys;
    CLocksRecordset& locks = *m_pLocks;
    locks.SetCurrentIndex("PrimaryKey");
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) keys.push_back(locks.m_LockKey);
    return keys;
}

bool CTDXDoc::ForceRefresh(const std::vector<int>& lockKeys) {
    CLocksRecordset& locks = *m_pLocks;
    CUsersToLocksRecordset& enrolments = *m_pUsersToLocks;
    CLockUsersRecordset& users = *m_pLockUsers;
    locks.SetCurrentIndex("PrimaryKey");
    enrolments.SetCurrentIndex("Lock Index");
    users.SetCurrentIndex("PrimaryKey");
    for (int key : lockKeys) {
        try {
            dao::Transaction transaction(*db_);
            if (!locks.Seek("=", {key})) {
                prompter_.Message(texts::kErrorRetrievingLock + texts::kCanNotContinueSuffix,
                                  PromptIcon::Exclamation);
                return false;
            }
            locks.Edit();
            if (locks.m_DataDownloadedFlag != 0) locks.m_DataDownloadedFlag = 0;
            locks.m_PendingActionCounter = 2;
            locks.m_DownloadedOpenDelaySeconds = 0;
            locks.m_DownloadedFacilityRev = 0;
            locks.m_DownloadedUGTableRev = 0;
            locks.m_DownloadedTSRev = 0;
            locks.m_RebuildUserList = true;
            locks.m_RecordState = 2;
            locks.Update();
            for (enrolments.Seek("=", {key});
                 enrolments.HasCurrent() && enrolments.m_LockIndex == key; enrolments.MoveNext()) {
                if (enrolments.m_RecordState != 1) continue;
                if (!users.Seek("=", {enrolments.m_UserIndex})) {
                    prompter_.Message(texts::kErrorRetrievingUser + texts::kCanNotContinueSuffix,
                                      PromptIcon::Exclamation);
                    return false;
                }
                users.Edit();
                users.m_PendingActionCounter += 1;
                users.Update();
                enrolments.Edit();
                enrolments.m_RecordState = 3;
                enrolments.Update();
            }
            transaction.Commit();
        } catch (const dao::Error& e) {
            ShowEngineError(e);
            return false;
        }
    }
    return true;
}

}  // namespace tandrel
