#pragma once

#include <optional>
#include <vector>

#include "desktop/data/prompter.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/lock_enrolments.h"
#include "desktop/exchange/program_store.h"
#include "desktop/exchange/user_bookings.h"

namespace tandrel {

// Reads back the programming records a device holds and books what its
// locks confirmed: revision marks cleared, removals and user writes
// settled, locks whose programming all arrived made current. Delivered
// records, and records of locks no longer in the facility, are deleted;
// the rest stay for the next delivery.
//
// A handheld's records are booked in batches of locks, and leave the
// handheld only once their batch is committed, so a collection cut short
// loses no confirmation (one booked twice changes nothing). A network
// device deletes only the record just read, so there each lock commits on
// its own.
class ProgramCollector {
  public:
    static constexpr int kRecordsPerCommit = 1 << 18;

    ProgramCollector(dao::Database& db, ProgramStore& store, Prompter& prompter);

    // 0, a device error, or the database error number after its message.
    int Collect(Progress& progress);
    // Whether a deleted user was removed for good (the user list shows it).
    bool UsersRemoved() const { return usersRemoved_; }
    void SetRecordsPerCommit(int records) { recordsPerCommit_ = records; }

  private:
    int CollectRecords(Progress& progress);
    // Books the record just read (its payload cut to what is looked at).
    int Take(ProgramRecord& record);
    int CommitBatch();
    void StartLock(int lockAddress);
    void FinishLock();
    void Apply(const ProgramRecord& record);
    void DeliveredRemoval(const protocol::Bytes& payload);
    void DeliveredUser(const protocol::Bytes& payload);
    bool AllDelivered();

    dao::Database& db_;
    ProgramStore& store_;
    Prompter& prompter_;
    CLocksRecordset locks_;
    CTimeSchedulesRecordset schedules_;
    CFacilityPropertiesRecordset facility_;
    int recordsPerCommit_ = kRecordsPerCommit;

    // The lock whose records are being read: its address, whether the
    // facility still has it (its row is then in edit mode), its enrolments,
    // and whether all its schedule and PIN table records arrived.
    std::optional<int> lockAddress_;
    bool lockKnown_ = false;
    std::optional<EnrolmentSource> source_;
    std::optional<LockEnrolments> enrolments_;
    bool schedulesDelivered_ = true;
    bool pinTableDelivered_ = true;
    bool undeliveredLeft_ = false;  // a record of the lock stays on the device

    // The batch: its transaction, its enrolments' and users' bookings, the
    // records it deletes once committed and how many it read.
    std::optional<dao::Transaction> batch_;
    std::vector<CollectedEnrolment> enrolmentChanges_;
    UserBookings users_;
    std::vector<ProgramRecord> done_;
    int batchRecords_ = 0;
    bool usersRemoved_ = false;
};

}  // namespace tandrel
