// The lock property sheet's save: the lock row, its device, and the
// enrolments changed on the User Enrollment page, in one transaction.
#include "desktop/admin/date_entry.h"
#include "desktop/admin/location_path.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/lock_properties_sheet.h"
#include "desktop/admin/user_texts.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr int kLockKeyLimit = 65534;

struct SaveFailure {
    QString message;
};

[[noreturn]] void FailWith(const QString& text) {
    throw SaveFailure{text + texts::kCanNotContinue};
}

QDateTime DateOf(const QString& text) {
    QDate date = ParseDateEntry(text.trimmed(), QDate::currentDate());
    return date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
}

}  // namespace

bool CLockPropertiesSheet::Save() {
    try {
        dao::Transaction transaction(doc_.Db());
        if (!WriteLockRow()) return false;
        FlagDevice();
        WriteEnrolments();
        transaction.Commit();
    } catch (const SaveFailure& failure) {
        prompter_.Message(failure.message, PromptIcon::Stop);
        if (IsNew()) lockKey_ = -1;
        return false;
    } catch (const dao::Error&) {
        prompter_.Message(texts::kUnexpectedDatabaseErrorStop, PromptIcon::Stop);
        if (IsNew()) lockKey_ = -1;
        return false;
    }
    stored_ = info_;
    for (LockUserEntry& e : users_) e.stored = e.draft;
    return true;
}

bool CLockPropertiesSheet::WriteLockRow() {
    dao::Database& db = doc_.Db();
    CLocksRecordset l(db);
    const bool isNew = IsNew();
    if (isNew) {
        std::optional<QString> path = LocationFullPath(db, info_.pathIndex);
        if (!path) throw SaveFailure{texts::kFailedQuery};
        l.AddNew();
        if (l.m_LockKey > kLockKeyLimit) {
            l.CancelUpdate();
            prompter_.Message(texts::kOutOfKeys, PromptIcon::Stop);
            return false;
        }
        lockKey_ = l.m_LockKey;
        for (LockUserEntry& e : users_) e.draft.lockKey = e.stored.lockKey = lockKey_;
        l.m_FullPath = *path;
        l.m_DownloadedTSRev = 0;
        deviceLinkState_ = info_.deviceLink != 0 ? kLinkPendingEnrolment : kLinkCurrent;
    } else {
        if (!l.FindByKey(lockKey_)) FailWith(texts::kLockEnrollmentError);
        l.Edit();
        const bool changed =
            info_.name != stored_.name || info_.serialNumber != stored_.serialNumber ||
            info_.modelNumber != stored_.modelNumber ||
            info_.openDelaySeconds != stored_.openDelaySeconds ||
            info_.installDate != stored_.installDate ||
            info_.batteryInstallDate != stored_.batteryInstallDate ||
            info_.tsLink != stored_.tsLink || info_.deviceAuditEnable != stored_.deviceAuditEnable;
        if (changed && info_.deviceLink != 0 && deviceLinkState_ == kLinkCurrent)
            deviceLinkState_ = kLinkPendingUpdate;
        // A new schedule or open delay is lock data: a schedule the lock has
        // not had starts from revision 0, and a current lock takes updates
        // only once it is marked as changed.
        const bool lockData =
            info_.tsLink != stored_.tsLink || info_.openDelaySeconds != stored_.openDelaySeconds;
        if (info_.tsLink != stored_.tsLink) l.m_DownloadedTSRev = 0;
        if (lockData) {
            l.m_DataDownloadedFlag = 0;
            l.m_PendingActionCounter = kNotYetHanded;
            if (l.m_RecordState == kLockCurrent) l.m_RecordState = kLockUpdatePending;
        }
    }
    l.m_Name = info_.name;
    l.m_PathIndex = info_.pathIndex;
    l.m_SerialNumber = info_.serialNumber;
    l.m_ModelNumber = info_.modelNumber;
    l.m_OpenDelaySeconds = static_cast<std::int16_t>(info_.openDelaySeconds);
    l.m_InstallDate = DateOf(info_.installDate);
    l.m_BatteryInstallDate = DateOf(info_.batteryInstallDate);
    l.m_TSLink = info_.tsLink;
    l.m_DeviceLink = info_.deviceLink;
    l.m_DeviceLinkState = static_cast<std::uint8_t>(deviceLinkState_);
    l.m_DeviceAuditEnable = info_.deviceAuditEnable;
    l.m_UserCapacity = static_cast<std::int16_t>(info_.userCapacity);
    l.Update();
    return true;
}

void CLockPropertiesSheet::FlagDevice() {
    if (info_.deviceLink == 0 || deviceLinkState_ == kLinkCurrent) return;
    CMobileDevicesRecordset devices(doc_.Db());
    if (!devices.FindByKey(info_.deviceLink) || devices.m_RecordState != kDeviceCurrent) return;
    devices.Edit();
    devices.m_RecordState = kDeviceChanged;
    devices.Update();
}

void CLockPropertiesSheet::WriteEnrolments() {
    dao::Database& db = doc_.Db();
    CLocksRecordset lock(db);
    if (!lock.FindByKey(lockKey_)) FailWith(texts::kLockEnrollmentError);
    CUsersToLocksRecordset rows(db);
    CLockUsersRecordset users(db);
    bool anyChange = false;
    SlotAllocator slotsLeft(db, lockKey_, info_.userCapacity);
    for (LockUserEntry& e : users_) {
        EnrolmentDraft& d = e.draft;
        const EnrolmentDraft& s = e.stored;
        if (!d.Changed(s) && s.HasRow()) continue;
        if (!s.HasRow() && d.state == kNotEnrolled) continue;
        if (!users.FindByKey(d.userKey)) FailWith(texts::kUserDataNotFound);
        // The page offers no change for a user pending removal.
        if (users.m_RecordState == kUserPendingRemoval)
            FailWith(texts::kInvalidEnrollmentTransaction);
        const bool wasPending = s.HasRow() && s.storedState != kEnrolmentCurrent;
        const bool isPending = d.state != kEnrolmentCurrent && d.state != kNotEnrolled;
        int enrolledChange = 0;
        if (!s.HasRow()) {
            int slot = slotsLeft.Take();
            if (slot < 0) FailWith(texts::kLockEnrollmentError);
            d.lockKey = lockKey_;
            AppendEnrolmentRow(rows, d, slot);
            enrolledChange = 1;
        } else {
            if (!rows.FindByKey({lockKey_, s.slot})) FailWith(texts::kEnrollmentDataNotFound);
            if (d.state == kNotEnrolled) {
                rows.Delete();
                enrolledChange = -1;
            } else {
                rows.Edit();
                rows.m_UseTypeDefaults = d.useDefaults;
                rows.m_UserType = d.typeByte;
                rows.m_RecordState = static_cast<std::uint8_t>(d.state);
                rows.Update();
            }
        }
        const int pendingChange = (isPending ? 1 : 0) - (wasPending ? 1 : 0);
        if (pendingChange != 0 || enrolledChange != 0) {
            users.Edit();
            users.m_PendingActionCounter += pendingChange;
            users.m_EnrolledLockCounter += enrolledChange;
            users.Update();
        }
        anyChange = true;
    }
    if (!lock.FindByKey(lockKey_)) FailWith(texts::kLockEnrollmentError);
    lock.Edit();
    lock.m_PgmIDCount = static_cast<std::int16_t>(programmers_);
    lock.m_EnrolledUserCounter = usedSlots_;
    lock.Update();
    // The lock must learn its changed user list.
    if (anyChange) MarkLockPending(lock);
}

}  // namespace tandrel
