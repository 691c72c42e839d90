#include "desktop/exchange/device_properties.h"
#include "desktop/exchange/device_rows.h"

#include "desktop/data/facility_states.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/device_address.h"
#include "desktop/exchange/device_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

namespace texts = device_texts;

const QString kDeviceNameMissing = QStringLiteral("A device needs a name.");
const QString kDeviceNameTaken = QStringLiteral("A device named %1 exists already.");

bool NameTaken(dao::Database& db, const QString& name) {
    const QString stored = name.left(kDeviceNameLength);
    CMobileDevicesRecordset devices(db);
    for (devices.MoveFirst(); !devices.IsEOF(); devices.MoveNext()) {
        if (devices.m_Name.compare(stored, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<DevicePropertiesSheet> DevicePropertiesSheet::Open(dao::Database& db,
                                                                   Prompter& prompter,
                                                                   int deviceKey) {
    DeviceRows devices(db);
    if (!devices.Find(deviceKey)) return nullptr;
    auto sheet = std::unique_ptr<DevicePropertiesSheet>(new DevicePropertiesSheet(db, prompter));
    sheet->deviceKey_ = deviceKey;
    sheet->recordState_ = devices.m_RecordState;
    sheet->name = devices.m_Name;
    sheet->description = devices.m_Description;
    sheet->assignedTo = devices.m_AssignedTo;
    sheet->version = devices.m_FerrowVersion;
    sheet->ipAddress = devices.m_IPAddress;
    sheet->port = devices.m_PortNumber;
    sheet->LoadLocks();
    return sheet;
}

std::unique_ptr<DevicePropertiesSheet> DevicePropertiesSheet::NewNetworkDevice(dao::Database& db,
                                                                               Prompter& prompter) {
    auto sheet = std::unique_ptr<DevicePropertiesSheet>(new DevicePropertiesSheet(db, prompter));
    sheet->isNew_ = true;
    sheet->networkChanged = true;
    return sheet;
}

void DevicePropertiesSheet::LoadLocks() {
    CLocksRecordset locks(db_);
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        if (locks.m_DeviceLink != deviceKey_ || locks.m_DeviceLinkState == kLinkNotEnrolled)
            continue;
        locks_[locks.m_LockKey] = {locks.m_DeviceLinkState, locks.m_DeviceLinkState,
                                   locks.m_DeviceLinkState};
    }
}

int DevicePropertiesSheet::LockState(int lockKey) const {
    auto found = locks_.find(lockKey);
    return found == locks_.end() ? kLinkNotEnrolled : found->second.draft;
}

bool DevicePropertiesSheet::AddLock(int lockKey) {
    if (ReadOnly()) return false;
    if (locks_.count(lockKey) == 0) {
        CLocksRecordset locks(db_);
        if (!locks.FindByKey(lockKey)) return false;
        if (locks.m_DeviceLink != 0 && locks.m_DeviceLink != deviceKey_) return false;
    }
    LockLink& link = locks_[lockKey];
    if (link.draft != kLinkNotEnrolled && link.draft != kLinkPendingRemoval) return true;
    // A lock whose removal was asked for goes back to where it was.
    const bool wasLeaving =
        link.draft == kLinkPendingRemoval && link.earlier != kLinkPendingRemoval;
    link.draft = wasLeaving ? link.earlier : kLinkPendingEnrolment;
    return true;
}

void DevicePropertiesSheet::RemoveLock(int lockKey) {
    if (ReadOnly()) return;
    auto found = locks_.find(lockKey);
    if (found == locks_.end() || found->second.draft == kLinkNotEnrolled) return;
    LockLink& link = found->second;
    if (link.draft != kLinkPendingRemoval) link.earlier = link.draft;
    // A lock the device never received leaves at once.
    link.draft = link.draft == kLinkPendingEnrolment ? kLinkNotEnrolled : kLinkPendingRemoval;
}

bool DevicePropertiesSheet::Save() {
    if (!ValuesFit()) return false;
    if (isNew_ && !AddDeviceRow()) return false;
    try {
        dao::Transaction transaction(db_);
        DeviceRows devices(db_);
        if (!devices.Find(deviceKey_)) throw dao::Error(3021, {});
        const bool editable = devices.m_RecordState != kDevicePendingRemoval;
        if (editable) {
            devices.Edit();
            devices.m_AssignedTo = assignedTo.left(kDeviceTextLength);
            if (networkChanged) {
                devices.m_IPAddress = ipAddress.left(kDeviceTextLength);
                devices.m_PortNumber = port;
            }
            devices.Update();
        }
        if (editable && SaveLocks() && devices.m_RecordState == kDeviceCurrent) {
            devices.Edit();
            devices.m_RecordState = kDeviceChanged;
            devices.Update();
        }
        transaction.Commit();
    } catch (const dao::Error&) {
        prompter_.Message(texts::kPropertiesDatabaseError, PromptIcon::Stop, {});
        return false;
    }
    for (auto& [key, link] : locks_) link.stored = link.draft;
    return true;
}

// A network address the control cannot reach, or a second device of a
// name the device list and the command line tell devices apart by, is
// refused before anything is stored.
bool DevicePropertiesSheet::ValuesFit() {
    QString problem;
    if (isNew_ && name.trimmed().isEmpty()) {
        problem = kDeviceNameMissing;
    } else if (isNew_ && NameTaken(db_, name)) {
        problem = kDeviceNameTaken.arg(name.left(kDeviceNameLength));
    } else if (networkChanged && !ReadOnly() && !IsDeviceAddress(ipAddress)) {
        problem = kBadDeviceAddress;
    } else if (networkChanged && !ReadOnly() && !IsDevicePort(port)) {
        problem = kBadDevicePort;
    }
    if (problem.isEmpty()) return true;
    prompter_.Message(problem, PromptIcon::Stop, {});
    return false;
}

bool DevicePropertiesSheet::AddDeviceRow() {
    try {
        CMobileDevicesRecordset devices(db_);
        devices.AddNew();
        devices.m_Name = name.left(kDeviceNameLength);
        devices.m_Description = description.left(kDeviceTextLength);
        devices.m_FerrowVersion = version.left(kDeviceVersionLength);
        devices.m_AssignedTo = assignedTo.left(kDeviceTextLength);
        devices.m_MobileType = 1;
        devices.m_RecordState = kDeviceDirectoryPending;
        devices.Update();
        devices.SetBookmark(devices.GetLastModifiedBookmark());
        if (devices.m_HPCKey > kLastDeviceKey) {
            devices.Delete();
            prompter_.Message(texts::kOutOfKeys, PromptIcon::Stop, {});
            return false;
        }
        deviceKey_ = devices.m_HPCKey;
        recordState_ = kDeviceDirectoryPending;
        isNew_ = false;
        return true;
    } catch (const dao::Error&) {
        prompter_.Message(texts::kPropertiesDatabaseError, PromptIcon::Stop, {});
        return false;
    }
}

// Whether any lock's state changed.
bool DevicePropertiesSheet::SaveLocks() {
    bool changed = false;
    CLocksRecordset locks(db_);
    for (const auto& [key, link] : locks_) {
        if (link.draft == link.stored) continue;
        if (!locks.FindByKey(key)) continue;
        locks.Edit();
        locks.m_DeviceLink = link.draft == kLinkNotEnrolled ? 0 : deviceKey_;
        locks.m_DeviceLinkState = static_cast<std::uint8_t>(link.draft);
        locks.Update();
        changed = true;
    }
    return changed;
}

}  // namespace tandrel
