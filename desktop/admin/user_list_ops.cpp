#include "desktop/admin/user_list_ops.h"

#include "desktop/admin/enrolment_draft.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_list.h"
#include "desktop/admin/user_texts.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

// Adds `change` to the current lock's programmer count.
void AdjustProgrammers(CLocksRecordset& locks, int change) {
    locks.Edit();
    locks.m_PgmIDCount = static_cast<std::int16_t>(locks.m_PgmIDCount + change);
    locks.Update();
}

struct UserCounters {
    int pending = 0;
    int enrolled = 0;
};

// Applies the deletion to one enrolment row (the current one of `rows`).
void DeleteEnrolment(CLocksRecordset& locks, CUsersToLocksRecordset& rows, UserCounters& user) {
    const bool programmer = IsProgrammerByte(rows.m_UserType);
    const int rev = rows.m_DownloadUserRevNumber;
    switch (rows.m_RecordState) {
        case kEnrolmentCurrent:
            MarkLockPending(locks);
            if (programmer) AdjustProgrammers(locks, -1);
            ++user.pending;
            break;
        case kPendingEnrolment:
            if (programmer) AdjustProgrammers(locks, -1);
            if (rev == 0) {
                MarkLockPending(locks);
                locks.Edit();
                locks.m_EnrolledUserCounter -= 1;
                locks.Update();
                --user.pending;
                --user.enrolled;
                rows.Delete();
                return;
            }
            if (rev == 2) {
                MarkLockPending(locks);
                ++user.pending;
            }
            break;
        case kPendingUpdate:
            if (programmer) AdjustProgrammers(locks, -1);
            break;
        default: return;
    }
    rows.Edit();
    rows.m_RecordState = kPendingRemoval;
    rows.Update();
}

QString LockName(dao::Database& db, int lockKey) {
    CLocksRecordset locks(db);
    return locks.FindByKey(lockKey) ? locks.m_Name : QString();
}

}  // namespace

bool DeleteUser(CTDXDoc& doc, Prompter& prompter, int userKey) {
    dao::Database& db = doc.Db();
    CLockUsersRecordset users(db);
    if (!users.FindByKey(userKey) || users.m_RecordState == kUserPendingRemoval) return false;
    const std::vector<EnrolmentDraft> enrolments = StoredEnrolmentsOfUser(db, userKey);
    for (const EnrolmentDraft& e : enrolments) {
        if (e.Enrolled() && e.Programmer() && ProgrammerCount(db, e.lockKey) < 2) {
            prompter.Message(texts::LastProgrammerRefusal(LockName(db, e.lockKey)),
                             PromptIcon::Exclamation);
            return false;
        }
    }
    if (prompter.Ask(texts::DeleteUserQuestion(users.m_FirstName, users.m_LastName),
                     PromptButtons::YesNo, PromptAnswer::No,
                     PromptIcon::Exclamation) != PromptAnswer::Yes) {
        return false;
    }
    try {
        dao::Transaction transaction(db);
        CLocksRecordset locks(db);
        CUsersToLocksRecordset rows(db);
        UserCounters delta;
        for (const EnrolmentDraft& e : enrolments) {
            if (!locks.FindByKey(e.lockKey) || !rows.FindByKey({e.lockKey, e.slot})) {
                dao::Throw(dao::kErrNoCurrentRecord);
            }
            DeleteEnrolment(locks, rows, delta);
        }
        users.Edit();
        users.m_PendingActionCounter += delta.pending;
        users.m_EnrolledLockCounter += delta.enrolled;
        if (users.m_PendingActionCounter <= 0) {
            users.m_RecordState = kUserRemoved;
        } else {
            users.m_PendingActionCounter -= 1;
            if (users.m_EnrolledLockCounter > 0) {
                users.m_RecordState = kUserPendingRemoval;
            } else {
                users.m_RecordState = kUserRemoved;
                users.m_PendingActionCounter = 0;
            }
        }
        users.Update();
        transaction.Commit();
    } catch (const dao::Error&) {
        prompter.Message(texts::kUnexpectedTransactionError, PromptIcon::Stop);
        return false;
    }
    return true;
}

bool RestoreUser(CTDXDoc& doc, Prompter& prompter, int userKey) {
    dao::Database& db = doc.Db();
    CLockUsersRecordset users(db);
    if (!users.FindByKey(userKey) || users.m_RecordState != kUserPendingRemoval) return false;
    if (prompter.Ask(texts::RestoreUserQuestion(users.m_FirstName, users.m_LastName)) !=
        PromptAnswer::Yes) {
        return false;
    }
    try {
        dao::Transaction transaction(db);
        CLocksRecordset locks(db);
        CUsersToLocksRecordset rows(db);
        for (const EnrolmentDraft& e : StoredEnrolmentsOfUser(db, userKey)) {
            if (e.storedState != kPendingRemoval) continue;
            if (!locks.FindByKey(e.lockKey) || !rows.FindByKey({e.lockKey, e.slot})) {
                dao::Throw(dao::kErrNoCurrentRecord);
            }
            rows.Edit();
            rows.m_RecordState = kPendingEnrolment;
            rows.Update();
            if (e.Programmer()) AdjustProgrammers(locks, 1);
            MarkLockPending(locks);
        }
        users.Edit();
        users.m_RecordState = kUserActive;
        users.Update();
        transaction.Commit();
    } catch (const dao::Error&) {
        prompter.Message(texts::kUnexpectedTransactionError, PromptIcon::Stop);
        return false;
    }
    return true;
}

std::optional<int> FindUser(CTDXDoc& doc, const QString& text) {
    for (const UserListRow& row : UserListRows(doc)) {
        if (row.name.startsWith(text, Qt::CaseInsensitive)) return row.key;
    }
    return std::nullopt;
}

}  // namespace tandrel
