// The time schedule sheet's save: the schedule row, its events and holidays,
// the revision and the locks that must learn of it, in one transaction.
#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "desktop/admin/lock_pending.h"
#include "desktop/admin/schedule_texts.h"
#include "desktop/admin/time_schedule_sheet.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr int kScheduleKeyLimit = 65534;

struct SaveFailure {
    QString message;
};

using EventRow = std::pair<int, std::int32_t>;  // [Schedule], [Event]

// Marks a lock for a download of its schedule. A current lock becomes
// "update pending" even when its counter is already 2: the programming run
// sends schedules only to locks above state 1.
void MarkForSchedule(CLocksRecordset& lock) {
    if (lock.m_RecordState == kLockRemoved) return;
    ApplyLockEvent(lock, LockEvent::Purged);
    if (lock.m_RecordState == kLockCurrent) lock.m_RecordState = kLockUpdatePending;
}

Holiday HolidayOfRow(const CHolidaysRecordset& r) {
    return {r.m_Name,     r.m_StartDateTime, r.m_EndDateTime, r.m_UseSchedule,
            r.m_Schedule, r.m_Level,         r.m_GroupMask};
}

void StoreHoliday(CHolidaysRecordset& r, const Holiday& h) {
    r.m_Name = h.name;
    r.m_StartDateTime = h.start;
    r.m_EndDateTime = h.end;
    r.m_UseSchedule = h.useSchedule;
    r.m_Schedule = static_cast<std::uint8_t>(h.day);
    r.m_Level = static_cast<std::uint8_t>(h.level);
    r.m_GroupMask = static_cast<std::uint8_t>(h.groupMask);
}

}  // namespace

bool CTimeScheduleSheet::Save() {
    const int keyBefore = key_;
    const int revisionBefore = revision_;
    bool saved = false;
    try {
        dao::Transaction transaction(doc_.Db());
        saved = WriteAll();
        if (saved) transaction.Commit();
    } catch (const SaveFailure& failure) {
        prompter_.Message(failure.message, PromptIcon::Stop);
    } catch (const dao::Error&) {
        prompter_.Message(texts::kScheduleUnexpectedError, PromptIcon::Stop);
    }
    if (!saved) {
        key_ = keyBefore;
        revision_ = revisionBefore;
        return false;
    }
    AfterSave();
    return true;
}

bool CTimeScheduleSheet::WriteAll() {
    if (!WriteScheduleRow()) return false;
    try {
        const bool events = SyncEvents();
        const bool holidays = SyncHolidays();
        if (events || holidays) RaiseRevision();
        MarkLocks(events || holidays);
    } catch (const dao::Error&) {
        throw SaveFailure{texts::kScheduleUpdateError};
    }
    return true;
}

bool CTimeScheduleSheet::WriteScheduleRow() {
    CTimeSchedulesRecordset s(doc_.Db());
    if (IsNew()) {
        s.AddNew();
        if (s.m_ScheduleKey > kScheduleKeyLimit) {
            s.CancelUpdate();
            prompter_.Message(texts::kScheduleOutOfKeys, PromptIcon::Stop);
            return false;
        }
        key_ = s.m_ScheduleKey;
        s.m_Name = name_.trimmed();
        s.m_RevisionCounter = 1;
        s.Update();
        revision_ = 1;
        return true;
    }
    if (!s.FindByKey(key_)) throw SaveFailure{texts::kErrorRetrievingSchedule};
    revision_ = s.m_RevisionCounter;
    if (s.m_Name != name_.trimmed()) {
        s.Edit();
        s.m_Name = name_.trimmed();
        s.Update();
    }
    return true;
}

// Rows already holding a wanted value stay; the others take the values
// still missing, are deleted when none are left, and new rows take the rest.
bool CTimeScheduleSheet::SyncEvents() {
    std::multiset<EventRow> wanted;
    for (const CScheduleEventPage* page :
         {static_cast<CScheduleEventPage*>(&master_), static_cast<CScheduleEventPage*>(&groups_)}) {
        for (const ScheduleEvent& e : page->Events())
            wanted.insert({EventRowKind(e), PackEvent(e)});
    }
    CScheduleEventsRecordset rows(doc_.Db());
    rows.SetCurrentIndex(QStringLiteral("Link Index"));
    std::vector<qint64> spare;
    for (rows.Seek(QStringLiteral("="), {key_}); rows.HasCurrent() && rows.m_SchedLink == key_;
         rows.MoveNext()) {
        auto it = wanted.find({rows.m_Schedule, rows.m_Event});
        if (it != wanted.end()) {
            wanted.erase(it);
        } else {
            spare.push_back(rows.GetBookmark());
        }
    }
    const bool changed = !spare.empty() || !wanted.empty();
    auto next = wanted.begin();
    for (qint64 bookmark : spare) {
        rows.SetBookmark(bookmark);
        if (next == wanted.end()) {
            rows.Delete();
            continue;
        }
        rows.Edit();
        rows.m_Schedule = static_cast<std::uint8_t>(next->first);
        rows.m_Event = next->second;
        rows.Update();
        ++next;
    }
    for (; next != wanted.end(); ++next) {
        rows.AddNew();
        rows.m_SchedLink = key_;
        rows.m_Schedule = static_cast<std::uint8_t>(next->first);
        rows.m_Event = next->second;
        rows.Update();
    }
    return changed;
}

bool CTimeScheduleSheet::SyncHolidays() {
    std::vector<Holiday> wanted = holidays_.Holidays();
    CHolidaysRecordset rows(doc_.Db());
    rows.SetCurrentIndex(QStringLiteral("Link Index"));
    std::vector<qint64> spare;
    for (rows.Seek(QStringLiteral("="), {key_}); rows.HasCurrent() && rows.m_KeyLink == key_;
         rows.MoveNext()) {
        auto it = std::find(wanted.begin(), wanted.end(), HolidayOfRow(rows));
        if (it != wanted.end()) {
            wanted.erase(it);
        } else {
            spare.push_back(rows.GetBookmark());
        }
    }
    const bool changed = !spare.empty() || !wanted.empty();
    auto next = wanted.begin();
    for (qint64 bookmark : spare) {
        rows.SetBookmark(bookmark);
        if (next == wanted.end()) {
            rows.Delete();
            continue;
        }
        rows.Edit();
        StoreHoliday(rows, *next++);
        rows.Update();
    }
    for (; next != wanted.end(); ++next) {
        rows.AddNew();
        rows.m_KeyLink = key_;
        StoreHoliday(rows, *next);
        rows.Update();
    }
    return changed;
}

void CTimeScheduleSheet::RaiseRevision() {
    CTimeSchedulesRecordset s(doc_.Db());
    if (!s.FindByKey(key_)) throw SaveFailure{texts::kErrorRetrievingSchedule};
    s.Edit();
    s.m_RevisionCounter = static_cast<std::int16_t>(s.m_RevisionCounter + 1);
    s.Update();
    revision_ = static_cast<std::int16_t>(revision_ + 1);
}

// The locks enrolled in the schedule when it changed, and every lock enrolled
// or removed on the page. A lock that changes schedule gets Downloaded TS Rev
// 0: the revision it holds belongs to another schedule and could equal this
// one's by chance.
void CTimeScheduleSheet::MarkLocks(bool scheduleChanged) {
    std::map<int, std::optional<bool>> marked;  // lock -> enrolled / removed on the page
    if (scheduleChanged) {
        CLocksToTSQuerySet enrolled(doc_.Db());
        enrolled.SetParam(QStringLiteral("TS KEY"), QString::number(key_));
        enrolled.Requery();
        for (; !enrolled.IsEOF(); enrolled.MoveNext()) marked[enrolled.m_LockKey];
    }
    for (const EnrolmentLock& change : enrollment_.Changes()) marked[change.key] = change.enrolled;
    CLocksRecordset lock(doc_.Db());
    for (const auto& [key, enrol] : marked) {
        if (!lock.FindByKey(key)) throw SaveFailure{texts::kErrorRetrievingLock};
        lock.Edit();
        if (enrol && (*enrol || lock.m_TSLink == key_)) {
            lock.m_TSLink = *enrol ? key_ : 0;
            lock.m_DownloadedTSRev = 0;
        }
        MarkForSchedule(lock);
        lock.Update();
    }
}

void CTimeScheduleSheet::AfterSave() {
    name_ = name_.trimmed();
    storedName_ = name_;
    wizard_ = false;
    master_.SetChanged(false);
    groups_.SetChanged(false);
    holidays_.SetChanged(false);
    enrollment_.Saved(key_);
}

}  // namespace tandrel
