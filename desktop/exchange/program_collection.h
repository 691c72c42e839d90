#pragma once

#include <optional>

#include "desktop/data/prompter.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/enrolment_rows.h"
#include "desktop/exchange/program_store.h"

namespace tandrel {

// Reads back the programming records a device holds and books what its
// locks confirmed: revision marks cleared, removals and user writes
// settled, locks whose programming all arrived made current. Delivered
// records, and records of locks no longer in the facility, are deleted;
// the rest stay for the next delivery.
class ProgramCollector {
  public:
    ProgramCollector(dao::Database& db, ProgramStore& store, Prompter& prompter);

    // 0, a device error, or the database error number after its message.
    int Collect(Progress& progress);
    // Whether a deleted user was removed for good (the user list shows it).
    bool UsersRemoved() const { return usersRemoved_; }

  private:
    int CollectRecords(Progress& progress);
    void StartLock(int lockAddress);
    void FinishLock();
    void Apply(const ProgramRecord& record);
    void ClearMark(std::int16_t CLocksRecordset::*column);
    void DeliveredAddress();
    void DeliveredRemoval(const protocol::Bytes& payload);
    void RemoveEnrolment(const LeavingEnrolment& enrolment);
    void DeliveredUser(const protocol::Bytes& payload);
    void ApplyCollected();
    void DeliveredAuditRequest();
    bool AllDelivered();

    dao::Database& db_;
    ProgramStore& store_;
    Prompter& prompter_;
    CLocksRecordset locks_;
    CLockUsersRecordset users_;
    CTimeSchedulesRecordset schedules_;
    CFacilityPropertiesRecordset facility_;

    // The lock whose records are being read: its address, whether the
    // facility still has it, and whether all its schedule and PIN table
    // records arrived. Its bookings commit together.
    std::optional<int> lockAddress_;
    bool lockKnown_ = false;
    bool schedulesDelivered_ = true;
    bool pinTableDelivered_ = true;
    std::optional<dao::Transaction> lockTransaction_;
    bool usersRemoved_ = false;
};

}  // namespace tandrel
