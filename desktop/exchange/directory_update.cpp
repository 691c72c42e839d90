#include "desktop/exchange/directory_update.h"
#include "desktop/exchange/device_rows.h"

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_dates.h"
#include "desktop/exchange/handheld_record.h"

namespace tandrel {
namespace {

constexpr int kRootNode = 1;
constexpr int kProgressRange = 200;
constexpr int kProgressStep = 10;

void FillLockRecord(CHandheldRecord& record, const CLocksToDeviceQuerySet& lock) {
    const DateWords words = WordsFromDate(lock.m_LastProgramDate);
    record.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lock.m_LockKey));
    record.SetUI2(LMF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(lock.m_PathIndex));
    record.SetUI2(LMF_DATA_OFFSET_HARDWARE_CLASS, static_cast<std::uint16_t>(lock.m_HardwareClass));
    record.SetUI2(LMF_DATA_OFFSET_VERSION, static_cast<std::uint16_t>(lock.m_FirmwareVersion));
    record.SetString(LMF_DATA_OFFSET_NAME, lock.m_Name);
    record.SetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL, static_cast<std::uint16_t>(lock.m_SupplyVolts));
    record.SetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE, words.date);
    record.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME, words.time);
    record.SetUI4(LMF_DATA_OFFSET_DRIVE_COUNT,
                  static_cast<std::uint32_t>(lock.m_DriveUsageCounter));
    record.SetUI4(LMF_DATA_OFFSET_CARD_COUNT, static_cast<std::uint32_t>(lock.m_CardSwipeCounter));
}

}  // namespace

DirectoryUpdater::DirectoryUpdater(dao::Database& db, RecordTransport& transport,
                                   const ExchangeDatabases& databases)
    : db_(db), transport_(transport), databases_(databases) {}

int DirectoryUpdater::Update(int deviceKey, Progress& progress) {
    progress_ = &progress;
    progress.SetText(device_texts::kUpdatingDirectory);
    progress.SetRange(kProgressRange);
    directory_.clear();
    needed_ = {{kRootNode, true}};
    deletedLocks_.clear();
    CFacilityDirectoryRecordset paths(db_);
    for (paths.MoveFirst(); !paths.IsEOF(); paths.MoveNext())
        directory_[paths.m_DirectoryKey] = {paths.m_NodeName, paths.m_RootIndex};

    if (int error = UpdateLockRecords(deviceKey)) return error;
    if (int error = DropStaleLockRecords()) return error;
    if (int error = RewriteNodes()) return error;
    if (int error = WriteMissingNodes()) return error;
    dao::Transaction transaction(db_);
    if (!deletedLocks_.empty()) {
        progress.SetText(device_texts::kPurgingDeletedLocks);
        if (int error = PurgeDeletedLocks()) return error;
    }
    SettleLinks(deviceKey);
    // The directory counts as handed over only once it is safe on the
    // handheld.
    if (int error = static_cast<int>(transport_.Flush())) return error;
    transaction.Commit();
    return 0;
}

void DirectoryUpdater::Step() {
    position_ = (position_ + kProgressStep) % (kProgressRange + kProgressStep);
    progress_->SetPosition(position_);
}

int DirectoryUpdater::UpdateLockRecords(int deviceKey) {
    CHandheldRecord record(RecordKind::EnrolledLock, transport_,
                           databases_.HandleFor(RecordKind::EnrolledLock));
    auto locks = LocksOfDevice(db_, deviceKey);
    for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
        const int state = locks->m_DeviceLinkState;
        if (state < kLinkCurrent || state > kLinkPendingRemoval) continue;
        record.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(locks->m_LockKey));
        const bool found = record.Seek(2, LMF_DATA_OFFSET_LOCK_ADDRESS);
        if (!found && record.LastError() != ce::ERROR_NO_DATA) return record.LastError();
        if (state == kLinkPendingRemoval) {
            if (found && !record.Delete()) return record.LastError();
            deletedLocks_.insert(locks->m_LockKey);
            continue;
        }
        if (!found) {
            FillLockRecord(record, *locks);
            if (!record.Write(true)) return record.LastError();
        } else if (state != kLinkCurrent) {
            if (!record.Read()) return record.LastError();
            record.SetUI2(LMF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(locks->m_PathIndex));
            record.SetString(LMF_DATA_OFFSET_NAME, locks->m_Name);
            if (!record.Write(false)) return record.LastError();
        }
        NeedPath(locks->m_PathIndex, state != kLinkCurrent);
        Step();
    }
    return 0;
}

void DirectoryUpdater::NeedPath(int node, bool refresh) {
    // The walk stops at the root, at a node the directory lacks (reported
    // when its record is written) and at a node seen on this walk already.
    std::set<int> walked;
    while (node > 0 && walked.insert(node).second) {
        bool& marked = needed_[node];
        marked = marked || refresh;
        auto found = directory_.find(node);
        if (found == directory_.end()) return;
        node = found->second.parent;
    }
}

int DirectoryUpdater::DropStaleLockRecords() {
    std::set<int> known;
    auto& keys = db_.Connection().Cached("SELECT \"Lock Key\" FROM Locks");
    while (keys.Step()) known.insert(static_cast<int>(keys.Int(0)));
    CHandheldRecord record(RecordKind::EnrolledLock, transport_,
                           databases_.HandleFor(RecordKind::EnrolledLock));
    if (!record.Seek(0)) return record.LastError() == ce::ERROR_NO_DATA ? 0 : record.LastError();
    while (record.Read()) {
        if (known.count(record.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS)) == 0 && !record.Delete())
            return record.LastError();
    }
    return record.LastError() == ce::ERROR_NO_MORE_ITEMS ? 0 : record.LastError();
}

int DirectoryUpdater::RewriteNodes() {
    CHandheldRecord record(RecordKind::Directory, transport_,
                           databases_.HandleFor(RecordKind::Directory));
    if (!record.Seek(0)) return record.LastError() == ce::ERROR_NO_DATA ? 0 : record.LastError();
    while (record.Read()) {
        const int key = record.GetUI2(LDF_DATA_OFFSET_KEY);
        auto needed = needed_.find(key);
        if (needed == needed_.end()) {
            if (!record.Delete()) return record.LastError();
            continue;
        }
        if (needed->second || key == kRootNode) {
            auto node = directory_.find(key);
            if (node == directory_.end()) return ce::ERROR_NO_DATA;
            record.SetUI2(LDF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(node->second.parent));
            record.SetString(LDF_DATA_OFFSET_NAME, node->second.name);
            if (!record.Write(false)) return record.LastError();
        }
        needed_.erase(needed);
        Step();
    }
    return record.LastError() == ce::ERROR_NO_MORE_ITEMS ? 0 : record.LastError();
}

int DirectoryUpdater::WriteMissingNodes() {
    CHandheldRecord record(RecordKind::Directory, transport_,
                           databases_.HandleFor(RecordKind::Directory));
    for (const auto& [key, refresh] : needed_) {
        auto node = directory_.find(key);
        if (node == directory_.end()) return ce::ERROR_NO_DATA;
        record.SetUI2(LDF_DATA_OFFSET_KEY, static_cast<std::uint16_t>(key));
        record.SetUI2(LDF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(node->second.parent));
        record.SetString(LDF_DATA_OFFSET_NAME, node->second.name);
        if (!record.Write(true)) return record.LastError();
        Step();
    }
    return 0;
}

int DirectoryUpdater::PurgeDeletedLocks() {
    DeviceProgramStore store(transport_, databases_);
    CLocksRecordset locks(db_);
    for (int lockAddress : deletedLocks_) {
        int deleted = 0;
        if (int error = DeleteLockRecords(store, lockAddress, &deleted)) return error;
        if (deleted == 0) continue;
        if (!locks.FindByKey(lockAddress)) return ce::ERROR_NO_DATA;
        locks.Edit();
        ApplyLockEvent(locks, LockEvent::Purged);
        locks.Update();
        Step();
    }
    return 0;
}

void DirectoryUpdater::SettleLinks(int deviceKey) {
    auto locks = LocksOfDevice(db_, deviceKey);
    for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
        const int state = locks->m_DeviceLinkState;
        if (state < kLinkPendingEnrolment || state > kLinkPendingRemoval) continue;
        locks->Edit();
        locks->m_DeviceLinkState = state == kLinkPendingRemoval ? kLinkNotEnrolled : kLinkCurrent;
        if (state == kLinkPendingRemoval) locks->m_DeviceLink = 0;
        locks->Update();
    }
    DeviceRows devices(db_);
    if (!devices.Find(deviceKey)) return;
    if (devices.m_RecordState == kDevicePendingRemoval) {
        devices.Delete();
        return;
    }
    devices.Edit();
    devices.m_RecordState = kDeviceCurrent;
    devices.Update();
}

}  // namespace tandrel
