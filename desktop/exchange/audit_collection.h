#pragma once

#include <optional>
#include <unordered_map>
#include <vector>

#include "desktop/data/prompter.h"
#include "desktop/exchange/handheld_record.h"
#include "platform/dao/database.h"
#include "protocol/audit_block.h"

namespace tandrel {

// Imports the audit blocks a device collected from its locks (TDXLAF):
// each event becomes an Audit Data row unless the lock's audit key is
// there already, a status entry newer than the lock's Last Program Date
// updates the lock's status columns, and the block is deleted once its
// rows are committed. Low batteries are reported after every block from
// the first one found on.
class AuditCollector {
  public:
    static constexpr int kLowBatteryMillivolts = 4100;
    // Collect's result for a failure other than the device's or the
    // database's, after its message.
    static constexpr int kErrOtherFailure = -1;

    AuditCollector(dao::Database& db, RecordTransport& transport,
                   const ExchangeDatabases& databases, Prompter& prompter);

    // 0, a device error (31 for a failed delete on a network device), the
    // database error number after its message, or kErrOtherFailure; a block
    // whose import failed stays on the device.
    int Collect(Progress& progress);

  private:
    int CollectBlocks(Progress& progress);
    int DeleteImported(std::optional<dao::Transaction>& batch, std::vector<ce::Oid>& imported);
    void ImportBlock(int lockAddress, const QByteArray& data);
    void ApplyStatus(int lockAddress, const protocol::AuditStatus& status);
    void AddEvent(int lockAddress, const protocol::AuditEvent& event);
    int UserKeyOf(int lockAddress, int lockUserIndex);

    dao::Database& db_;
    Prompter& prompter_;
    CHandheldRecord blocks_;
    std::uint32_t blockCount_;
    int currentYear_;
    qint64 latestStatus_;   // status dates beyond this are the lock's clock gone wrong
    int lowBatteries_ = 0;  // status entries applied with a low battery
    // Users of the lock's slots, found while importing one block.
    std::unordered_map<int, int> slotUsers_;
    // The block's event insert, looked up once per block.
    dao::sqlite::Statement* insertEvent_ = nullptr;
};

}  // namespace tandrel
