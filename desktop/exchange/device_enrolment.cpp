// Enrolling a device into the facility and taking it out again.
#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_properties.h"
#include "desktop/exchange/device_rows.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

namespace texts = device_texts;

const QString kDefaultName = QStringLiteral("Palm PC");

// A failure whose message is shown with the stop icon after the rollback.
struct EnrolmentStop {
    QString message;
};

}  // namespace

int DataExchange::Enrol(bool newDevice, const QString& networkName) {
    if (!newDevice) {
        DeviceRows devices(db_);
        if (!devices.Find(state_.deviceKey)) return Stop(texts::kDeviceRowMissing);
    }
    auto progress = prompter_.StartProgress(exchange_texts::kTitle, {}, 0);
    const std::optional<DeviceIdentity> identity = Identify(*progress);
    if (!identity) return 0;
    if (int stop = CheckEnrolment(newDevice, *identity); stop != 0) return 0;

    ce::Partnership partnership;
    if (!state_.device->IsNetwork() && !state_.device->ReadPartnership(partnership))
        return Stop(texts::kNoPartnership);
    if (state_.databasesOpen) state_.device->Transport().CloseDatabases(state_.databases);
    state_.databasesOpen = false;
    if (state_.device->Transport().ResetDatabases() != 0) return Stop(texts::kResetFailed);
    return WriteEnrolment(newDevice, networkName, partnership, *identity);
}

// Nonzero after a stop: the device belongs here already, or its other
// facility is not to be given up.
int DataExchange::CheckEnrolment(bool newDevice, const DeviceIdentity& identity) {
    if (identity.facility == FacilityCommCode(db_)) {
        if (newDevice) {
            DeviceRows devices(db_);
            if (devices.Find(static_cast<qint64>(identity.identity)))
                return Stop(texts::kAlreadyEnrolled), 1;
        } else if (static_cast<int>(identity.identity) != state_.deviceKey &&
                   !state_.device->IsNetwork()) {
            return Stop(texts::kAlreadyEnrolled), 1;
        }
        return 0;
    }
    if (identity.facility == 0) return 0;
    if (prompter_.Ask(texts::kOtherFacility, PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Question) != PromptAnswer::Yes ||
        prompter_.Ask(texts::kOtherFacilityWarning, PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Exclamation) != PromptAnswer::Yes) {
        return Stop(texts::kEnrolmentAborted), 1;
    }
    return 0;
}

int DataExchange::WriteEnrolment(bool newDevice, const QString& networkName,
                                 const ce::Partnership& partnership, DeviceIdentity identity) {
    RecordTransport& transport = state_.device->Transport();
    try {
        // A network device's reset took its registry record too: what it
        // said when identified stands then.
        const std::uint32_t read = ReadIdentity(transport, identity);
        if (read != 0 && !(state_.device->IsNetwork() && read == ce::ERROR_NO_DATA))
            throw EnrolmentStop{texts::kRegistryFailed};
        dao::Transaction transaction(db_);
        DeviceRows devices(db_);
        if (newDevice) {
            devices.AddNew();
            devices.m_MobileType = state_.device->IsNetwork() ? 1 : 0;
        } else {
            devices.Find(state_.deviceKey);
            devices.Edit();
        }
        // The partnership's texts may be longer than the row keeps.
        if (!state_.device->IsNetwork()) {
            devices.m_Name = partnership.displayName.left(kDeviceNameLength);
            devices.m_Description = partnership.description.left(kDeviceTextLength);
        } else if (newDevice) {
            devices.m_Name = networkName.left(kDeviceNameLength);
        }
        if (devices.m_Name.trimmed().isEmpty()) devices.m_Name = kDefaultName;
        devices.m_FerrowVersion = identity.version.left(kDeviceVersionLength);
        devices.m_RecordState = kDeviceDirectoryPending;
        devices.Update();
        if (newDevice) devices.SetBookmark(devices.GetLastModifiedBookmark());
        if (devices.m_HPCKey > kLastDeviceKey) throw EnrolmentStop{texts::kOutOfKeys};

        identity.facility = FacilityCommCode(db_);
        identity.identity = static_cast<std::uint32_t>(devices.m_HPCKey);
        if (WriteIdentity(transport, identity) != 0) throw EnrolmentStop{texts::kRegistryFailed};
        transaction.Commit();
        state_.deviceKey = devices.m_HPCKey;
        return state_.deviceKey;
    } catch (const EnrolmentStop& stop) {
        return Stop(stop.message);
    } catch (const dao::Error&) {
        return Stop(texts::kEnrolDatabaseError);
    }
}

bool DataExchange::RemoveDevice(int deviceKey) {
    DeviceRows devices(db_);
    if (!devices.Find(deviceKey)) {
        prompter_.Message(texts::kReadError, PromptIcon::Exclamation, {});
        return false;
    }
    {
        dao::Transaction transaction(db_);
        auto locks = LocksOfDevice(db_, deviceKey);
        CLocksRecordset lockRows(db_);
        for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
            if (!lockRows.FindByKey(locks->m_LockKey)) continue;
            lockRows.Edit();
            lockRows.m_DeviceLink = 0;
            ApplyLockEvent(lockRows, LockEvent::Purged);
            lockRows.m_DeviceLinkState = kLinkNotEnrolled;
            lockRows.Update();
        }
        devices.Delete();
        transaction.Commit();
    }
    if (state_.device) ForgetDevice();
    if (state_.deviceKey == deviceKey) state_.deviceKey = 0;
    return true;
}

// Tells the connected device it belongs to no facility and empties it.
void DataExchange::ForgetDevice() {
    RecordTransport& transport = state_.device->Transport();
    ce::Partnership partnership;
    if (state_.device->IsNetwork() || state_.device->ReadPartnership(partnership)) {
        DeviceIdentity identity;
        ReadIdentity(transport, identity);
        identity.facility = 0;
        identity.identity = 0;
        WriteIdentity(transport, identity);
    }
    if (state_.databasesOpen) transport.CloseDatabases(state_.databases);
    state_.databasesOpen = false;
    transport.ResetDatabases();
    Close();
}

}  // namespace tandrel
