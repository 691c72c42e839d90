#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_rows.h"

#include "desktop/data/facility_states.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/audit_collection.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/device_properties.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/directory_update.h"
#include "desktop/exchange/exchange_errors.h"
#include "desktop/exchange/exchange_texts.h"
#include "desktop/exchange/lock_info_collection.h"
#include "desktop/exchange/lock_programmer.h"
#include "desktop/exchange/lost_programming.h"
#include "desktop/exchange/program_collection.h"
#include "platform/dao/error.h"

namespace tandrel {

namespace texts = device_texts;

DataExchange::DataExchange(dao::Database& db, DeviceConnector& connector, Prompter& prompter)
    : db_(db), connector_(connector), prompter_(prompter) {}

DataExchange::~DataExchange() {
    Close();
}

void DataExchange::ForDevice(int deviceKey) {
    state_.deviceKey = deviceKey;
    state_.network = deviceKey != 0 && IsNetworkDevice(deviceKey);
}

void DataExchange::Close() {
    if (state_.databasesOpen && state_.device)
        state_.device->Transport().CloseDatabases(state_.databases);
    state_.databases = {};
    state_.databasesOpen = false;
    state_.device.reset();
}

int DataExchange::Stop(const QString& text, PromptIcon icon) {
    prompter_.Message(text, icon, {});
    Close();
    return 0;
}

bool DataExchange::IsNetworkDevice(int deviceKey) {
    DeviceRows devices(db_);
    return devices.Find(deviceKey) && devices.m_MobileType != 0;
}

DeviceTarget DataExchange::TargetFor(int deviceKey) {
    DeviceTarget target;
    target.network = state_.network;
    DeviceRows devices(db_);
    if (deviceKey != 0 && devices.Find(deviceKey)) {
        target.network = target.network || devices.m_MobileType != 0;
        target.name = devices.m_Name;
        target.ipAddress = devices.m_IPAddress;
        target.port = devices.m_PortNumber;
    }
    return target;
}

std::optional<DeviceIdentity> DataExchange::Identify(Progress& progress, bool quiet) {
    const DeviceTarget target = TargetFor(state_.deviceKey);
    progress.SetText(target.network ? texts::EstablishingNetwork(target.name)
                                    : texts::kEstablishing);
    if (!state_.device || state_.device->IsNetwork() != target.network) {
        Close();
        state_.device = connector_.Connect(target, prompter_);
    }
    DeviceIdentity identity;
    if (state_.device) {
        progress.SetText(texts::kIdentifying);
        if (ReadIdentity(state_.device->Transport(), identity) == 0) return identity;
    }
    Close();
    if (!quiet) prompter_.Message(exchange_texts::kNoConnection, PromptIcon::Stop, {});
    return std::nullopt;
}

bool DataExchange::FindDevice(const DeviceIdentity& identity) {
    const int key = EnrolledDeviceKey(db_, identity);
    if (key == 0) return false;
    DeviceRows devices(db_);
    devices.Find(key);
    state_.deviceKey = key;
    if (devices.m_FerrowVersion != identity.version) {
        devices.Edit();
        devices.m_FerrowVersion = identity.version.left(kDeviceVersionLength);
        devices.Update();
    }
    return true;
}

bool DataExchange::OpenDatabases(Progress& progress) {
    if (state_.device->IsNetwork() || state_.databasesOpen) return true;
    progress.SetText(texts::kConnectingDatabases);
    progress.SetRange(50);
    progress.SetPosition(10);
    if (state_.device->Transport().OpenDatabases(state_.databases) != 0) return false;
    state_.databasesOpen = true;
    progress.SetPosition(50);
    return true;
}

int DataExchange::Exchange(bool collect) {
    auto progress = prompter_.StartProgress(exchange_texts::kTitle, {}, 0);
    removedDevice_ = 0;
    const std::optional<DeviceIdentity> identity = Identify(*progress);
    if (!identity) return 0;
    try {
        state_.deviceKey = 0;
        if (!FindDevice(*identity)) return Stop(texts::kNotEnrolled);
        if (!OpenDatabases(*progress)) return Stop(exchange_texts::kNoDatabases);
        if (collect) {
            if (int stop = Collect(*progress); stop != 0) return 0;
        }
        if (UpdateOrRemove(*progress) != 0) return 0;
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation, {});
        return Stop(exchange_texts::kDatabaseError);
    }
    return state_.deviceKey;
}

// Each step runs on a network device, or when the handheld holds records
// for it. Nonzero after a stop.
int DataExchange::Collect(Progress& progress) {
    const bool network = state_.device->IsNetwork();
    RecordTransport& transport = state_.device->Transport();
    const ExchangeDatabases& databases = state_.databases;
    if (network || databases.laf.recordCount > 0) {
        AuditCollector audit(db_, transport, databases, prompter_);
        if (audit.Collect(progress) != 0) return Stop(texts::kAuditFailed), 1;
    }
    DeviceProgramStore store(transport, databases);
    if (network || databases.pgm.recordCount > 0) {
        ProgramCollector programs(db_, store, prompter_);
        if (programs.Collect(progress) != 0) return Stop(exchange_texts::kCollectFailed), 1;
    }
    // Whatever was collected, a lock handed to the device still has records
    // there; one without any lost them and is programmed again.
    if (RequeueLostProgramming(db_, store, state_.deviceKey) != 0)
        return Stop(exchange_texts::kCollectFailed), 1;
    if (network || databases.lmf.recordCount > 0) {
        if (CollectLockInformation(db_, transport, databases, prompter_, progress) != 0)
            return Stop(texts::kLockInfoFailed), 1;
    }
    return 0;
}

int DataExchange::UpdateOrRemove(Progress& progress) {
    DeviceRows devices(db_);
    if (!devices.Find(state_.deviceKey)) return Stop(texts::kNotEnrolled), 1;
    if (devices.m_RecordState == kDevicePendingRemoval) {
        const int key = state_.deviceKey;
        if (RemoveDevice(key)) removedDevice_ = key;
        state_.deviceKey = 0;
        return 1;
    }
    if (devices.m_RecordState <= kDeviceCurrent) return 0;
    try {
        DirectoryUpdater directory(db_, state_.device->Transport(), state_.databases);
        if (directory.Update(state_.deviceKey, progress) == 0) return 0;
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation, {});
    }
    return Stop(texts::kDirectoryFailed), 1;
}

int DataExchange::Program(const std::vector<int>& lockKeys) {
    locksProgrammed_ = 0;
    if (!state_.device || state_.deviceKey == 0) return kErrConnectionLost;
    auto progress = prompter_.StartProgress(exchange_texts::kTitle, {}, 0);
    DeviceProgramStore store(state_.device->Transport(), state_.databases);
    std::optional<LockProgrammer> programmer;
    try {
        programmer.emplace(db_, store, prompter_);
        const int error = programmer->Run(lockKeys, *progress);
        locksProgrammed_ = programmer->LocksProgrammed();
        if (error == 0 || error == kErrShown) return error;
        progress.reset();
        prompter_.Message(ExchangeErrorText(error), PromptIcon::Stop, {});
        if (error == kErrConnectionLost) {
            Close();
            if (!state_.network) state_.deviceKey = 0;
        }
        return error;
    } catch (const dao::Error&) {
        if (programmer) locksProgrammed_ = programmer->LocksProgrammed();
        progress.reset();
        prompter_.Message(exchange_texts::kDatabaseError, PromptIcon::Stop, {});
        return kErrShown;
    }
}

}  // namespace tandrel
