#include "desktop/exchange/program_collection.h"

#include <algorithm>

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/exchange/lock_payloads.h"
#include "desktop/exchange/programming_texts.h"
#include "desktop/exchange/revision_marks.h"
#include "platform/dao/error.h"
#include "protocol/lock_command_codes.h"

namespace tandrel {

namespace {

constexpr std::size_t kPayloadLookedAt = 64;

// Whether `records` programming records are enough against the enrolment
// table for reading all of it in one pass to pay.
bool HoldsMuchOfTheTable(dao::Database& db, int records) {
    auto& s = db.Connection().Cached("SELECT max(rowid) FROM \"Users to Locks\"");
    s.Step();
    const qint64 rows = s.Int(0);
    s.Reset();
    return rows > 0 && static_cast<qint64>(records) * 4 >= rows;
}

}  // namespace

ProgramCollector::ProgramCollector(dao::Database& db, ProgramStore& store, Prompter& prompter)
    : db_(db), store_(store), prompter_(prompter), locks_(db), schedules_(db), facility_(db) {}

int ProgramCollector::Collect(Progress& progress) {
    try {
        return CollectRecords(progress);
    } catch (const dao::Error& e) {
        if (lockKnown_) locks_.CancelUpdate();
        batch_.reset();
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
    lockKnown_ = false;
    facility_.Requery();
    source_.emplace(db_, !network && HoldsMuchOfTheTable(db_, store_.RecordCount()));

    const int sought = store_.SeekFirst();
    if (sought == kErrRecordNotFound) return 0;
    if (sought != 0) return sought;
    ProgramRecord record;
    for (;;) {
        const int error = store_.ReadNext(record);
        if (error == kErrNoMoreItems) break;
        if (error != 0) return error;
        if (int taken = Take(record)) return taken;
        position = std::min(position + step, range);
        progress.SetPosition(position);
    }
    if (lockAddress_) FinishLock();
    return CommitBatch();
}

// Books one record; a lock's last record is known only when the next
// lock's first one comes.
int ProgramCollector::Take(ProgramRecord& record) {
    if (record.payload.size() > kPayloadLookedAt) record.payload.resize(kPayloadLookedAt);
    if (record.LockAddress() != lockAddress_) {
        if (lockAddress_) FinishLock();
        const bool full = store_.IsNetworkDevice() || batchRecords_ >= recordsPerCommit_;
        if (full) {
            if (int error = CommitBatch()) return error;
        }
        StartLock(record.LockAddress());
    }
    ++batchRecords_;
    if (lockKnown_) Apply(record);
    if (!record.Delivered() && lockKnown_) {
        undeliveredLeft_ = true;
        return 0;
    }
    if (store_.IsNetworkDevice()) return store_.DeleteLastRead();
    done_.push_back({record.key, record.command, {}, record.id});  // its id deletes it
    return 0;
}

// The batch's bookings are committed before its records leave the device.
int ProgramCollector::CommitBatch() {
    if (batch_) {
        WriteEnrolmentChanges(db_, enrolmentChanges_);
        if (users_.Write(db_)) usersRemoved_ = true;
        batch_->Commit();
        batch_.reset();
    }
    batchRecords_ = 0;
    std::vector<ProgramRecord> done;
    done.swap(done_);
    for (const ProgramRecord& record : done) {
        if (int error = store_.Delete(record)) return error;
    }
    return 0;
}

void ProgramCollector::StartLock(int lockAddress) {
    if (!batch_) batch_.emplace(db_);
    lockAddress_ = lockAddress;
    lockKnown_ = locks_.FindByKey(lockAddress);
    if (lockKnown_) locks_.Edit();
    enrolments_.emplace(source_->Take(lockAddress));
    schedulesDelivered_ = true;
    pinTableDelivered_ = true;
    undeliveredLeft_ = false;
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
            locks_.m_DownloadedFacilityRev = MarkCleared(locks_.m_DownloadedFacilityRev);
            break;
        case protocol::LOCK_COMMAND_CODE_SET_ADDRESS:
            if (locks_.m_RecordState == kLockNew) locks_.m_RecordState = kLockUpdatePending;
            break;
        case protocol::LOCK_COMMAND_CODE_SET_DELAY:
            locks_.m_DownloadedOpenDelaySeconds = MarkCleared(locks_.m_DownloadedOpenDelaySeconds);
            break;
        case protocol::LOCK_COMMAND_CODE_DEL_USERS: DeliveredRemoval(record.payload); break;
        case protocol::LOCK_COMMAND_CODE_WRITE_USER: DeliveredUser(record.payload); break;
        case protocol::LOCK_COMMAND_CODE_GET_AUDITALL: locks_.m_AuditGetAll = 0; break;
        default: break;
    }
}

// The lock cleared slots [first, last]: enrolments waiting for removal there
// are gone, each one user fewer for the lock.
void ProgramCollector::DeliveredRemoval(const protocol::Bytes& payload) {
    if (payload.size() < 4) return;
    const int first = protocol::ReadBigEndian16(payload, 0);
    const int last = protocol::ReadBigEndian16(payload, 2);
    for (int userKey : enrolments_->Removed(first, last)) {
        locks_.m_EnrolledUserCounter = std::max(locks_.m_EnrolledUserCounter - 1, 0);
        users_.Removed(userKey);
    }
    if (first == 0 && last == locks_.m_UserCapacity - 1) locks_.m_RebuildUserList = false;
}

void ProgramCollector::DeliveredUser(const protocol::Bytes& payload) {
    const int heldType = DeliveredUserType(payload);
    if (heldType < 0) return;
    const int slot = protocol::ReadBigEndian16(payload, 0);
    if (const std::optional<int> userKey = enrolments_->Written(slot, heldType))
        users_.Settled(*userKey);
}

// Whatever the lock confirmed is booked with it. Programming still waiting
// on the device keeps the lock handed over: it is not current until the
// device has delivered all of it.
void ProgramCollector::FinishLock() {
    enrolments_->TakeChanges(enrolmentChanges_);
    enrolments_.reset();
    if (!lockKnown_) return;
    if (!undeliveredLeft_) ApplyLockEvent(locks_, LockEvent::Collected);
    if (schedulesDelivered_) locks_.m_DownloadedTSRev = MarkCleared(locks_.m_DownloadedTSRev);
    if (pinTableDelivered_)
        locks_.m_DownloadedUGTableRev = MarkCleared(locks_.m_DownloadedUGTableRev);
    if (AllDelivered()) locks_.m_RecordState = kLockCurrent;
    locks_.Update();
    lockKnown_ = false;
}

// A lock that holds every kind of its data is current again. A new lock
// waits until its address is confirmed, whatever else arrived.
bool ProgramCollector::AllDelivered() {
    const int state = locks_.m_RecordState;
    if (state == kLockCurrent || state == kLockNew) return false;
    if (!HoldsRevision(locks_.m_DownloadedOpenDelaySeconds, locks_.m_OpenDelaySeconds) ||
        !HoldsRevision(locks_.m_DownloadedFacilityRev, facility_.m_Revision) ||
        !HoldsRevision(locks_.m_DownloadedUGTableRev, facility_.m_UserGroupTableRevision))
        return false;
    if (locks_.m_TSLink == 0) return true;
    return schedules_.FindByKey(locks_.m_TSLink) &&
           HoldsRevision(locks_.m_DownloadedTSRev, schedules_.m_RevisionCounter);
}

}  // namespace tandrel
