#include "desktop/exchange/lock_info_collection.h"

#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_dates.h"
#include "desktop/exchange/handheld_record.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

void Apply(CLocksRecordset& locks, const CHandheldRecord& info, const QDateTime& exchanged) {
    locks.Edit();
    locks.m_LastProgramDate = exchanged;
    locks.m_HardwareClass = static_cast<std::int16_t>(info.GetUI2(LMF_DATA_OFFSET_HARDWARE_CLASS));
    locks.m_FirmwareVersion = static_cast<std::int16_t>(info.GetUI2(LMF_DATA_OFFSET_VERSION));
    locks.m_SupplyVolts = static_cast<std::int16_t>(info.GetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL));
    locks.m_DriveUsageCounter = static_cast<std::int32_t>(info.GetUI4(LMF_DATA_OFFSET_DRIVE_COUNT));
    locks.m_CardSwipeCounter = static_cast<std::int32_t>(info.GetUI4(LMF_DATA_OFFSET_CARD_COUNT));
    try {
        locks.Update();
    } catch (const dao::Error&) {
        locks.CancelUpdate();
        throw;
    }
}

// The exchange date of the record when the lock row should take it.
std::optional<QDateTime> NewerExchange(const CHandheldRecord& info, const QDateTime& known,
                                       const QDateTime& now) {
    const std::optional<QDateTime> exchanged =
        DateFromWords(info.GetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE),
                      info.GetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME), now.date().year());
    if (!exchanged || *exchanged > now.addDays(1)) return std::nullopt;
    if (known.isValid() && *exchanged <= known) return std::nullopt;
    return exchanged;
}

}  // namespace

int CollectLockInformation(dao::Database& db, RecordTransport& transport,
                           const ExchangeDatabases& databases, Prompter& prompter,
                           Progress& progress, const QDateTime& now) {
    progress.SetText(device_texts::kCollectingLockInfo);
    progress.SetRange(transport.IsNetwork() ? 50
                                            : 10 * static_cast<int>(databases.lmf.recordCount));
    CHandheldRecord info(RecordKind::EnrolledLock, transport,
                         databases.HandleFor(RecordKind::EnrolledLock));
    if (!info.Seek(0)) return info.LastError() == ce::ERROR_NO_DATA ? 0 : info.LastError();
    try {
        CLocksRecordset locks(db);
        int position = 0;
        while (info.Read()) {
            progress.SetPosition(position += 10);
            if (!locks.FindByKey(info.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS))) continue;
            if (auto exchanged = NewerExchange(info, locks.m_LastProgramDate, now))
                Apply(locks, info, *exchanged);
        }
    } catch (const dao::Error& e) {
        prompter.Message(e.Description(), PromptIcon::Exclamation);
        return e.Number();
    }
    return info.LastError() == ce::ERROR_NO_MORE_ITEMS ? 0 : info.LastError();
}

}  // namespace tandrel
