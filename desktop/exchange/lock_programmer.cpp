#include "desktop/exchange/lock_programmer.h"

#include <algorithm>

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/exchange/enrolment_rows.h"
#include "desktop/exchange/lock_payloads.h"
#include "desktop/exchange/lock_user_writes.h"
#include "desktop/exchange/programming_texts.h"
#include "desktop/exchange/revision_marks.h"
#include "platform/dao/error.h"
#include "protocol/lock_command_codes.h"

namespace tandrel {

namespace texts = programming_texts;

namespace {

constexpr int kGroupTableSkipSteps = 80;

const QString kPrimaryKey = QStringLiteral("PrimaryKey");

// A lock being set up or refreshed takes lock-wide data; a current one only
// its user list.
bool TakesLockData(int recordState) {
    return recordState > kLockCurrent;
}

}  // namespace

LockProgrammer::LockProgrammer(dao::Database& db, ProgramStore& store, Prompter& prompter)
    : db_(db),
      store_(store),
      prompter_(prompter),
      locks_(db),
      groups_(db),
      facility_(db),
      audit_(db),
      schedules_(db),
      events_(db) {
    groups_.SetCurrentIndex(kPrimaryKey);
    audit_.SetCurrentIndex(kPrimaryKey);
}

int LockProgrammer::Run(const std::vector<int>& lockKeys, Progress& progress) {
    locksProgrammed_ = 0;
    ProgrammingBatch batch(db_, store_, recordsPerCommit_);
    LockUserWrites userWrites(db_);
    PendingEnrolments enrolments(db_, lockKeys);
    userWrites_ = &userWrites;
    enrolments_ = &enrolments;
    int error = 0;
    try {
        for (int lockKey : lockKeys) {
            error = ProgramOneLock(lockKey, batch, progress);
            if (error == 0 && batch.Full()) error = batch.Commit();
            if (error != 0) break;
        }
        // The locks done before a failing one keep their programming.
        const int committed = batch.Commit();
        if (error == 0) error = committed;
    } catch (...) {
        userWrites_ = nullptr;
        enrolments_ = nullptr;
        locksProgrammed_ = batch.LocksHanded();
        throw;
    }
    userWrites_ = nullptr;
    enrolments_ = nullptr;
    locksProgrammed_ = batch.LocksHanded();
    if (error == 0) prompter_.Message(texts::kRunComplete, PromptIcon::Information);
    return error;
}

// A lock's row is saved only when all of its programming was queued, so a
// failure leaves the lock as it was; records already queued for it are
// cleared by its next run. A lock that needed nothing is not handed to the
// device: nothing is outstanding for it.
int LockProgrammer::ProgramOneLock(int lockKey, ProgrammingBatch& batch, Progress& progress) {
    if (!locks_.FindByKey(lockKey)) return kErrRecordNotFound;
    batch.Begin();
    facility_.Requery();
    locks_.Edit();
    int error = 0;
    try {
        error = QueueLock(lockKey, progress);
    } catch (const dao::Error&) {
        locks_.CancelUpdate();
        throw;
    }
    if (error != 0) {
        locks_.CancelUpdate();
        return error;
    }
    if (sequence_ > 0) {
        ApplyLockEvent(locks_, LockEvent::Queued);
    } else {
        locks_.m_DataDownloadedFlag = 0;
        locks_.m_PendingActionCounter = kNothingOutstanding;
    }
    locks_.Update();
    batch.Add(lockKey, sequence_);
    return 0;
}

int LockProgrammer::QueueLock(int lockKey, Progress& progress) {
    lockAddress_ = lockKey;
    sequence_ = 0;
    progress.SetText(texts::kPreparingUsers);
    progress.SetText(texts::kPreparingRemote);
    int error = PrepareLock(lockKey);
    if (error == 0 && TakesLockData(locks_.m_RecordState)) error = ProgramLockSteps(progress);
    if (error == 0) error = UpdateUserList(progress);
    if (error == 0 && locks_.m_AuditGetAll != 0)
        error = Queue(protocol::LOCK_COMMAND_CODE_GET_AUDITALL, AuditAllPayload());
    return error;
}

int LockProgrammer::Queue(int code, const protocol::Bytes& payload) {
    ProgramRecord record;
    record.key = static_cast<std::uint32_t>(lockAddress_) << 16 | sequence_;
    record.command = static_cast<std::uint16_t>(code);
    record.payload = payload;
    if (int error = store_.Append(record)) return error;
    ++sequence_;
    return 0;
}

int LockProgrammer::PrepareLock(int lockAddress) {
    return DeleteLockRecords(store_, lockAddress);
}

void LockProgrammer::Step(Progress& progress, int steps) {
    position_ = std::min(position_ + steps, range_);
    progress.SetPosition(position_);
}

int LockProgrammer::ProgramLockSteps(Progress& progress) {
    position_ = 0;
    range_ = static_cast<int>(groups_.GetRecordCount()) + 8;
    progress.SetRange(range_);
    progress.SetPosition(0);
    int error = QueueFacility(progress);
    if (error == 0) error = QueueAddress(progress);
    if (error == 0 && locks_.m_RebuildUserList) {
        progress.SetText(texts::kClearingUsers);
        error = Queue(protocol::LOCK_COMMAND_CODE_DEL_USERS,
                      DeleteUsersPayload(0, locks_.m_UserCapacity - 1));
        Step(progress);
    }
    if (error == 0) error = QueueUserGroups(progress);
    if (error == 0) error = QueueSchedule(progress);
    if (error == 0) error = QueueOpenDelay(progress);
    return error;
}

int LockProgrammer::QueueFacility(Progress& progress) {
    if (!facility_.HasCurrent()) return kErrRecordNotFound;
    if (HoldsRevision(locks_.m_DownloadedFacilityRev, facility_.m_Revision)) return 0;
    progress.SetText(texts::kUpdatingFacility);
    if (int error = Queue(protocol::LOCK_COMMAND_CODE_SET_FACILITY,
                          FacilityPayload(FacilityDataOf(facility_))))
        return error;
    locks_.m_DownloadedFacilityRev = MarkedPending(facility_.m_Revision);
    Step(progress);
    return 0;
}

// A new lock learns its address, where its audit trail continues, and the
// device is told to treat it as new.
int LockProgrammer::QueueAddress(Progress& progress) {
    if (locks_.m_RecordState != kLockNew) return 0;
    progress.SetText(texts::kSettingAddress);
    if (int error = Queue(protocol::LOCK_COMMAND_CODE_SET_ADDRESS, AddressPayload(lockAddress_)))
        return error;
    if (audit_.Seek(QStringLiteral(">"), {lockAddress_ - 1, 0}) &&
        audit_.m_LockKey == lockAddress_) {
        const auto nextAuditKey = static_cast<std::uint32_t>(audit_.m_AuditKey) + 1;
        if (int error =
                Queue(protocol::LOCK_COMMAND_CODE_SET_AUDITCOUNT, AuditCountPayload(nextAuditKey)))
            return error;
    }
    Step(progress);
    return store_.MarkNewLock(lockAddress_);
}

int LockProgrammer::QueueUserGroups(Progress& progress) {
    if (HoldsRevision(locks_.m_DownloadedUGTableRev, facility_.m_UserGroupTableRevision)) {
        Step(progress, kGroupTableSkipSteps);
        return 0;
    }
    progress.SetText(texts::kUpdatingGroups);
    for (groups_.MoveFirst(); !groups_.IsEOF(); groups_.MoveNext()) {
        const Bytes payload = PinTablePayload(
            groups_.m_GroupKey, groups_.m_AutocodeInterval, groups_.m_AutocodeIntervalType,
            groups_.m_AutocodeEnabled, static_cast<std::uint16_t>(groups_.m_PINDate));
        if (int error = Queue(protocol::LOCK_COMMAND_CODE_WRITE_PINTBL, payload)) return error;
        Step(progress);
    }
    locks_.m_DownloadedUGTableRev = MarkedPending(facility_.m_UserGroupTableRevision);
    return 0;
}

int LockProgrammer::QueueSchedule(Progress& progress) {
    const int key = locks_.m_TSLink;
    if (key == 0) return 0;
    const bool found = schedules_.FindByKey(key);
    if (found && HoldsRevision(locks_.m_DownloadedTSRev, schedules_.m_RevisionCounter)) return 0;
    if (int error = DownloadSchedule(key, locks_.m_ScheduleCapacity, locks_.m_HolidayListCapacity,
                                     &progress))
        return error;
    locks_.m_DownloadedTSRev = MarkedPending(schedules_.m_RevisionCounter);
    Step(progress);
    return 0;
}

int LockProgrammer::QueueOpenDelay(Progress& progress) {
    if (HoldsRevision(locks_.m_DownloadedOpenDelaySeconds, locks_.m_OpenDelaySeconds)) return 0;
    progress.SetText(texts::kUpdatingOpenDelay);
    if (int error = Queue(protocol::LOCK_COMMAND_CODE_SET_DELAY,
                          OpenDelayPayload(locks_.m_OpenDelaySeconds)))
        return error;
    locks_.m_DownloadedOpenDelaySeconds = MarkedPending(locks_.m_OpenDelaySeconds);
    Step(progress);
    return 0;
}

// The lock's enrolments are read in one pass, their users once per run: a
// lock may hold thousands, and each one here is one command.
int LockProgrammer::UpdateUserList(Progress& progress) {
    progress.SetText(texts::kUpdatingUserList);
    progress.SetRange(EnrolmentCount(db_, lockAddress_));
    std::optional<LockUserWrites> ownWrites;
    LockUserWrites& writes = userWrites_ ? *userWrites_ : ownWrites.emplace(db_);
    std::optional<PendingEnrolments> ownEnrolments;
    PendingEnrolments& enrolments =
        enrolments_ ? *enrolments_ : ownEnrolments.emplace(db_, std::vector<int>{lockAddress_});
    int position = 0;
    return enrolments.ForEach(lockAddress_, [&](const PendingEnrolment& e) {
        progress.SetPosition(++position);
        if (e.recordState == kPendingRemoval) {
            if (!writes.HasUser(e.userKey)) return kErrRecordNotFound;
            return Queue(protocol::LOCK_COMMAND_CODE_DEL_USERS, DeleteUsersPayload(e.slot, e.slot));
        }
        const std::optional<Bytes> payload = writes.Payload(e.userKey, e.slot, e.userTypeByte);
        if (!payload) return kErrRecordNotFound;
        return Queue(protocol::LOCK_COMMAND_CODE_WRITE_USER, *payload);
    });
}

}  // namespace tandrel
