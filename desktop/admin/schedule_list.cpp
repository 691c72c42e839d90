#include "desktop/admin/schedule_list.h"

#include <vector>

#include "desktop/admin/lock_pending.h"
#include "desktop/admin/schedule_texts.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

template <typename Rows, typename Link>
void DeleteLinkedRows(Rows& rows, int key, Link link) {
    rows.SetCurrentIndex(QStringLiteral("Link Index"));
    for (rows.Seek(QStringLiteral("="), {key}); rows.HasCurrent() && link(rows) == key;
         rows.MoveNext()) {
        rows.Delete();
    }
}

// Locks without a schedule hold none to compare; a current one is marked
// for download like any lock whose programming changed.
void UnlinkLocks(dao::Database& db, int key) {
    std::vector<int> keys;
    CLocksToTSQuerySet enrolled(db);
    enrolled.SetParam(QStringLiteral("TS KEY"), QString::number(key));
    enrolled.Requery();
    for (; !enrolled.IsEOF(); enrolled.MoveNext()) keys.push_back(enrolled.m_LockKey);
    CLocksRecordset lock(db);
    for (int lockKey : keys) {
        if (!lock.FindByKey(lockKey)) dao::Throw(dao::kErrNoCurrentRecord);
        lock.Edit();
        lock.m_TSLink = 0;
        lock.m_DownloadedTSRev = 0;
        if (lock.m_RecordState == kLockCurrent) {
            ApplyLockEvent(lock, LockEvent::Purged);
            lock.m_RecordState = kLockUpdatePending;
        }
        lock.Update();
    }
}

void DeleteSchedule(dao::Database& db, int key) {
    dao::Transaction transaction(db);
    CTimeSchedulesRecordset schedule(db);
    if (!schedule.FindByKey(key)) dao::Throw(dao::kErrNoCurrentRecord);
    CScheduleEventsRecordset events(db);
    DeleteLinkedRows(events, key, [](const auto& r) { return r.m_SchedLink; });
    CHolidaysRecordset holidays(db);
    DeleteLinkedRows(holidays, key, [](const auto& r) { return r.m_KeyLink; });
    UnlinkLocks(db, key);
    if (!schedule.FindByKey(key)) dao::Throw(dao::kErrNoCurrentRecord);
    schedule.Delete();
    transaction.Commit();
}

}  // namespace

QStringList ScheduleListHeaders() {
    return {texts::kScheduleNameColumn};
}

std::vector<ScheduleListRow> ScheduleListRows(dao::Database& db) {
    std::vector<ScheduleListRow> rows;
    CTimeSchedulesRecordset schedules(db);
    schedules.SetCurrentIndex(QStringLiteral("NameKey"));
    for (schedules.MoveFirst(); !schedules.IsEOF(); schedules.MoveNext())
        rows.push_back({schedules.m_ScheduleKey, schedules.m_Name});
    return rows;
}

bool DeleteTimeSchedule(CTDXDoc& doc, Prompter& prompter, int key) {
    try {
        CTimeSchedulesRecordset schedule(doc.Db());
        if (!schedule.FindByKey(key)) dao::Throw(dao::kErrNoCurrentRecord);
        if (prompter.Ask(texts::DeleteScheduleQuestion(schedule.m_Name), PromptButtons::YesNo,
                         PromptAnswer::No, PromptIcon::Question) != PromptAnswer::Yes) {
            return false;
        }
        DeleteSchedule(doc.Db(), key);
    } catch (const dao::Error&) {
        prompter.Message(texts::kScheduleTransactionError, PromptIcon::Stop);
        return false;
    }
    return true;
}

LockScheduleStatus LockScheduleStatusOf(dao::Database& db, int lockKey) {
    const LockScheduleStatus none{texts::kScheduleNone, texts::kScheduleNone};
    CLocksRecordset lock(db);
    if (!lock.FindByKey(lockKey) || lock.m_TSLink == 0) return none;
    CTimeSchedulesRecordset schedule(db);
    if (!schedule.FindByKey(lock.m_TSLink)) return none;
    const bool current = lock.m_DownloadedTSRev == schedule.m_RevisionCounter;
    return {schedule.m_Name, current ? texts::kScheduleCurrent : texts::kSchedulePendingUpdate};
}

}  // namespace tandrel
