#include "desktop/exchange/device_list.h"
#include "desktop/exchange/device_rows.h"

#include <algorithm>

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

namespace texts = device_texts;

constexpr int kStatusCurrent = 1;
constexpr int kStatusUpdate = 2;
constexpr int kStatusCollection = 3;
constexpr int kStatusDownload = 4;
constexpr int kStatusRemoval = 5;

int LockStatus(const CLocksToDeviceQuerySet& lock) {
    switch (NormalisedPendingCounter(lock.m_PendingActionCounter, lock.m_DataDownloadedFlag)) {
        case kHandedToDevice: return kStatusCollection;
        case kNotYetHanded: return kStatusDownload;
        default: return lock.m_DeviceLinkState > kLinkCurrent ? kStatusUpdate : kStatusCurrent;
    }
}

// Runs `change` on the device row and its locks in one transaction; false
// after the message of a missing row or a database error.
bool ChangeDevice(dao::Database& db, Prompter& prompter, int deviceKey, int lockState,
                  int deviceState) {
    try {
        dao::Transaction transaction(db);
        DeviceRows devices(db);
        if (!devices.Find(deviceKey)) {
            prompter.Message(texts::kListRowMissing, PromptIcon::Stop, {});
            return false;
        }
        auto locks = LocksOfDevice(db, deviceKey);
        for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
            locks->Edit();
            locks->m_DeviceLinkState = static_cast<std::uint8_t>(lockState);
            locks->Update();
        }
        devices.Edit();
        devices.m_RecordState = static_cast<std::uint8_t>(deviceState);
        devices.Update();
        transaction.Commit();
        return true;
    } catch (const dao::Error&) {
        prompter.Message(texts::kListDatabaseError, PromptIcon::Stop, {});
        return false;
    }
}

// Whether the device in the cradle (or at the device's address) is this
// device of this facility. The link stays open only when it is.
bool IsConnected(dao::Database& db, DataExchange& exchange, Prompter& prompter, int deviceKey) {
    exchange.ForDevice(deviceKey);
    auto progress = prompter.StartProgress(exchange_texts::kTitle, {}, 0);
    const std::optional<DeviceIdentity> identity = exchange.Identify(*progress, true);
    const bool connected = identity && identity->facility == FacilityCommCode(db) &&
                           static_cast<int>(identity->identity) == deviceKey;
    if (!connected) exchange.Close();
    return connected;
}

}  // namespace

QString DeviceStatusText(int status) {
    switch (status) {
        case kStatusUpdate: return QStringLiteral("Pending Update");
        case kStatusCollection: return QStringLiteral("Pending Collection");
        case kStatusDownload: return QStringLiteral("Pending Download");
        case kStatusRemoval: return QStringLiteral("Pending Removal");
        default: return QStringLiteral("Current");
    }
}

int DeviceStatus(dao::Database& db, int deviceKey) {
    DeviceRows devices(db);
    if (!devices.Find(deviceKey)) return kStatusCurrent;
    if (devices.m_RecordState == kDevicePendingRemoval) return kStatusRemoval;
    int status = kStatusCurrent;
    auto locks = LocksOfDevice(db, deviceKey);
    for (locks->MoveFirst(); !locks->IsEOF() && status < kStatusDownload; locks->MoveNext())
        status = std::max(status, LockStatus(*locks));
    if (status == kStatusCurrent && devices.m_RecordState > kDeviceCurrent) return kStatusUpdate;
    return status;
}

std::vector<DeviceListRow> DeviceList(dao::Database& db) {
    std::vector<DeviceListRow> rows;
    CMobileDevicesRecordset devices(db);
    for (devices.MoveFirst(); !devices.IsEOF(); devices.MoveNext()) {
        rows.push_back({devices.m_HPCKey, devices.m_Name, devices.m_Description,
                        devices.m_AssignedTo, devices.m_FerrowVersion,
                        devices.m_MobileType == 0 ? texts::kMobile : texts::kNetwork, 0,
                        devices.m_RecordState});
    }
    for (DeviceListRow& row : rows) row.status = DeviceStatus(db, row.key);
    return rows;
}

bool DeleteDevice(dao::Database& db, DataExchange& exchange, Prompter& prompter, int deviceKey) {
    if (prompter.Ask(texts::kAskDelete, PromptButtons::YesNo, PromptAnswer::Yes,
                     PromptIcon::Question) != PromptAnswer::Yes) {
        return false;
    }
    if (!ChangeDevice(db, prompter, deviceKey, kLinkPendingRemoval, kDevicePendingRemoval))
        return false;
    if (IsConnected(db, exchange, prompter, deviceKey)) {
        exchange.Exchange(true);
        return true;
    }
    if (prompter.Ask(texts::kAskRemoveUnconnected, PromptButtons::OkCancel, PromptAnswer::Ok,
                     PromptIcon::Exclamation) != PromptAnswer::Ok) {
        prompter.Message(texts::kFinishRemoval, PromptIcon::Information, {});
        return true;
    }
    try {
        return exchange.RemoveDevice(deviceKey);
    } catch (const dao::Error&) {
        prompter.Message(texts::kListDatabaseError, PromptIcon::Stop, {});
        return false;
    }
}

bool RestoreDevice(dao::Database& db, Prompter& prompter, int deviceKey) {
    if (prompter.Ask(texts::kAskRestore, PromptButtons::YesNo, PromptAnswer::Yes,
                     PromptIcon::Question) != PromptAnswer::Yes) {
        return false;
    }
    return ChangeDevice(db, prompter, deviceKey, kLinkPendingEnrolment, kDeviceChanged);
}

bool MayOpenProperties(dao::Database& db, Prompter& prompter, int deviceKey) {
    if (DeviceStatus(db, deviceKey) != kStatusRemoval) return true;
    return prompter.Ask(texts::kAskEditPendingRemoval, PromptButtons::YesNo, PromptAnswer::Yes,
                        PromptIcon::Information) == PromptAnswer::Yes;
}

void OfferDirectoryUpdate(dao::Database& db, DataExchange& exchange, Prompter& prompter,
                          int deviceKey) {
    DeviceRows devices(db);
    if (!devices.Find(deviceKey) || devices.m_RecordState <= kDeviceCurrent) return;
    if (prompter.Ask(texts::kAskUpdateDirectory, PromptButtons::YesNo, PromptAnswer::Yes,
                     PromptIcon::Question) != PromptAnswer::Yes) {
        return;
    }
    if (!IsConnected(db, exchange, prompter, deviceKey)) {
        prompter.Message(texts::kNotConnected, PromptIcon::Stop, {});
        return;
    }
    exchange.Exchange(true);
}

}  // namespace tandrel
