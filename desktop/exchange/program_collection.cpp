#include "desktop/exchange/program_collection.h"

#include <algorithm>

#include "desktop/admin/lock_pending.h"
#include "desktop/exchange/enrolment_rows.h"
#include "desktop/exchange/lock_payloads.h"
#include "desktop/exchange/programming_texts.h"
#include "desktop/exchange/revision_marks.h"
#include "platform/dao/error.h"
#include "protocol/lock_command_codes.h"

namespace tandrel {

namespace {

const QString kPrimaryKey = QStringLiteral("PrimaryKey");
const QString kEqual = QStringLiteral("=");

constexpr std::size_t kPayloadLookedAt = 64;

int LowerNotBelowZero(int counter) {
    return counter > 0 ? counter - 1 : counter;
}

}  // namespace

ProgramCollector::ProgramCollector(dao::Database& db, ProgramStore& store, Prompter& prompter)
    : db_(db),
      store_(store),
      prompter_(prompter),
      locks_(db),
      users_(db),
      schedules_(db),
      facility_(db) {
    locks_.SetCurrentIndex(kPrimaryKey);
    users_.SetCurrentIndex(kPrimaryKey);
    schedules_.SetCurrentIndex(kPrimaryKey);
}

int ProgramCollector::Collect(Progress& progress) {
    try {
        return CollectRecords(progress);
    } catch (const dao::Error& e) {
        lockTransaction_.reset();
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
        return e.Number();
    }
}

int ProgramCollector::CollectRecords(Progress& progress) {
    progress.SetText(programming_texts::kCollecting);
    const bool network = store_.IsNetworkDevice();
    const int range = network ? 50 : 10 * store_.RecordCount();
    const int step = network ? 1 : 10;
    progress.SetRange(range);
    int position = 0;
    lockAddress_.reset();
    facility_.Requery();

    const int sought = store_.SeekFirst();
    if (sought == kErrRecordNotFound) return 0;
    if (sought != 0) return sought;
    ProgramRecord record;
    for (;;) {
        const int error = store_.ReadNext(record);
        if (error == kErrNoMoreItems) break;
        if (error != 0) return error;
        if (record.payload.size() > kPayloadLookedAt) record.payload.resize(kPayloadLookedAt);
        if (record.LockAddress() != lockAddress_) {
            if (lockAddress_) FinishLock();
            StartLock(record.LockAddress());
        }
        if (lockKnown_) Apply(record);
        if (record.Delivered() || !lockKnown_) {
            if (int deleted = store_.DeleteLastRead()) return deleted;
        }
        position = std::min(position + step, range);
        progress.SetPosition(position);
    }
    if (lockAddress_) FinishLock();
    return 0;
}

void ProgramCollector::StartLock(int lockAddress) {
    lockAddress_ = lockAddress;
    lockKnown_ = locks_.Seek(kEqual, {lockAddress});
    schedulesDelivered_ = true;
    pinTableDelivered_ = true;
    lockTransaction_.emplace(db_);
}

void ProgramCollector::Apply(const ProgramRecord& record) {
    const bool delivered = record.Delivered();
    switch (record.Code()) {
        case protocol::LOCK_COMMAND_CODE_WRITE_SCHED:
        case protocol::LOCK_COMMAND_CODE_WRITE_HOLIDAY:
            schedulesDelivered_ = schedulesDelivered_ && delivered;
            return;
        case protocol::LOCK_COMMAND_CODE_WRITE_PINTBL:
            pinTableDelivered_ = pinTableDelivered_ && delivered;
            return;
        default: break;
    }
    if (!delivered) return;
    switch (record.Code()) {
        case protocol::LOCK_COMMAND_CODE_SET_FACILITY:
            ClearMark(&CLocksRecordset::m_DownloadedFacilityRev);
            break;
        case protocol::LOCK_COMMAND_CODE_SET_ADDRESS: DeliveredAddress(); break;
        case protocol::LOCK_COMMAND_CODE_SET_DELAY:
            ClearMark(&CLocksRecordset::m_DownloadedOpenDelaySeconds);
            break;
        case protocol::LOCK_COMMAND_CODE_DEL_USERS: DeliveredRemoval(record.payload); break;
        case protocol::LOCK_COMMAND_CODE_WRITE_USER: DeliveredUser(record.payload); break;
        case protocol::LOCK_COMMAND_CODE_GET_AUDITALL: DeliveredAuditRequest(); break;
        default: break;
    }
}

void ProgramCollector::ClearMark(std::int16_t CLocksRecordset::*column) {
    locks_.Edit();
    locks_.*column = MarkCleared(locks_.*column);
    locks_.Update();
}

void ProgramCollector::DeliveredAddress() {
    if (locks_.m_RecordState != 2) return;
    locks_.Edit();
    locks_.m_RecordState = 3;
    locks_.Update();
}

void ProgramCollector::DeliveredAuditRequest() {
    locks_.Edit();
    locks_.m_AuditGetAll = 0;
    locks_.Update();
}

// The lock cleared slots [first, last]: enrolments waiting for removal there
// are gone.
void ProgramCollector::DeliveredRemoval(const protocol::Bytes& payload) {
    if (payload.size() < 4) return;
    const int first = protocol::ReadBigEndian16(payload, 0);
    const int last = protocol::ReadBigEndian16(payload, 2);
    for (const LeavingEnrolment& e : EnrolmentsLeaving(db_, *lockAddress_, first, last))
        RemoveEnrolment(e);
    if (first == 0 && last == locks_.m_UserCapacity - 1 && locks_.m_RebuildUserList) {
        locks_.Edit();
        locks_.m_RebuildUserList = false;
        locks_.Update();
    }
}

void ProgramCollector::RemoveEnrolment(const LeavingEnrolment& enrolment) {
    DeleteEnrolment(db_, enrolment.row);
    locks_.Edit();
    ApplyLockEvent(locks_, LockEvent::Collected);
    locks_.m_EnrolledUserCounter = std::max(locks_.m_EnrolledUserCounter - 1, 0);
    locks_.Update();
    if (users_.Seek(kEqual, {enrolment.userKey})) {
        users_.Edit();
        users_.m_PendingActionCounter = LowerNotBelowZero(users_.m_PendingActionCounter);
        users_.m_EnrolledLockCounter = LowerNotBelowZero(users_.m_EnrolledLockCounter);
        if (users_.m_EnrolledLockCounter < 1 && users_.m_RecordState == 4) {
            users_.m_PendingActionCounter = 0;
            users_.m_RecordState = 0;
            usersRemoved_ = true;
        }
        users_.Update();
    }
}

// The lock holds the user written to a slot; the enrolment is current when
// it holds the user's latest revision with the type the facility gave it.
void ProgramCollector::DeliveredUser(const protocol::Bytes& payload) {
    const int heldType = DeliveredUserType(payload);
    if (heldType < 0) return;
    const int slot = protocol::ReadBigEndian16(payload, 0);
    std::optional<SlotEnrolment> enrolment = EnrolmentInSlot(db_, *lockAddress_, slot);
    if (!enrolment) return;
    enrolment->downloadedRevision = MarkCleared(enrolment->downloadedRevision);
    if (enrolment->userFound &&
        HoldsRevision(enrolment->downloadedRevision, enrolment->userRevision) &&
        enrolment->userType == heldType && enrolment->recordState > 1) {
        ApplyCollected();
        LowerUserPending(db_, enrolment->userKey);
        enrolment->recordState = 1;
    }
    SettleEnrolment(db_, *enrolment);
}

// Books the collected event on the lock, writing only when it changes the
// row (a lock's thousands of confirmations change it once).
void ProgramCollector::ApplyCollected() {
    const int normalised =
        NormalisedPendingCounter(locks_.m_PendingActionCounter, locks_.m_DataDownloadedFlag);
    if (locks_.m_DataDownloadedFlag == 0 &&
        locks_.m_PendingActionCounter == PendingCounterAfter(LockEvent::Collected, normalised))
        return;
    locks_.Edit();
    ApplyLockEvent(locks_, LockEvent::Collected);
    locks_.Update();
}

void ProgramCollector::FinishLock() {
    if (lockKnown_) {
        locks_.Edit();
        ApplyLockEvent(locks_, LockEvent::Collected);
        if (schedulesDelivered_) locks_.m_DownloadedTSRev = MarkCleared(locks_.m_DownloadedTSRev);
        if (pinTableDelivered_)
            locks_.m_DownloadedUGTableRev = MarkCleared(locks_.m_DownloadedUGTableRev);
        locks_.Update();
        if (AllDelivered()) {
            locks_.Edit();
            locks_.m_RecordState = 1;
            locks_.Update();
        }
    }
    lockTransaction_->Commit();
    lockTransaction_.reset();
}

// A lock that holds every kind of its data is current again. A new lock
// (state 2) waits until its address is confirmed, whatever else arrived.
bool ProgramCollector::AllDelivered() {
    const int state = locks_.m_RecordState;
    if (state == 1 || state == 2) return false;
    if (!HoldsRevision(locks_.m_DownloadedOpenDelaySeconds, locks_.m_OpenDelaySeconds) ||
        !HoldsRevision(locks_.m_DownloadedFacilityRev, facility_.m_Revision) ||
        !HoldsRevision(locks_.m_DownloadedUGTableRev, facility_.m_UserGroupTableRevision))
        return false;
    if (locks_.m_TSLink == 0) return true;
    return schedules_.Seek(kEqual, {locks_.m_TSLink}) &&
           HoldsRevision(locks_.m_DownloadedTSRev, schedules_.m_RevisionCounter);
}

}  // namespace tandrel
