#pragma once

#include <cstdint>
#include <vector>

#include "desktop/data/prompter.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/program_store.h"
#include "desktop/exchange/programming_batch.h"
#include "desktop/exchange/schedule_compile.h"

namespace tandrel {

// A failure whose message the programmer has shown already.
constexpr int kErrShown = -1;

class LockUserWrites;
class PendingEnrolments;

// Turns what changed in the facility database into lock commands on the
// device that serves the locks: per lock, the earlier queue is cleared, the
// facility-wide data, address, group table, time schedule and open delay
// that the lock lacks are queued (for locks being set up), then its user
// list changes, and a request for the whole audit trail when one is
// wanted. Revision columns take the queued value with the pending
// mark; the collection clears the marks once the lock has answered. Locks
// are booked in batches, each committed only once the device holds its
// records for good.
class LockProgrammer {
  public:
    LockProgrammer(dao::Database& db, ProgramStore& store, Prompter& prompter);

    // Programs the locks in order; 0 or the error that ended the run (the
    // lock's row is then left as it was). Database errors are thrown.
    int Run(const std::vector<int>& lockKeys, Progress& progress);
    // Locks the last run handed programming to the device.
    int LocksProgrammed() const { return locksProgrammed_; }
    // Records a run queues before it commits the locks they are for (at
    // least one lock at a time): fewer lose less work to a crash, more
    // spend less time committing.
    void SetRecordsPerCommit(int records) { recordsPerCommit_ = records; }

    // The steps of one lock whose row is current and in edit mode.
    int Queue(int code, const protocol::Bytes& payload);
    int PrepareLock(int lockAddress);
    int ProgramLockSteps(Progress& progress);
    int UpdateUserList(Progress& progress);

    // Compiles a time schedule; -1 after showing the database error.
    int Compile(int scheduleKey, CompiledSchedule& table);
    // Compiles and queues a schedule and its holidays within the lock's
    // capacities; kErrShown after a message, or the queue's error.
    int DownloadSchedule(int scheduleKey, int scheduleCapacity, int holidayCapacity,
                         Progress* progress);

  private:
    int ProgramOneLock(int lockKey, ProgrammingBatch& batch, Progress& progress);
    int QueueLock(int lockKey, Progress& progress);
    int QueueFacility(Progress& progress);
    int QueueAddress(Progress& progress);
    int QueueUserGroups(Progress& progress);
    int QueueSchedule(Progress& progress);
    int QueueOpenDelay(Progress& progress);
    void Step(Progress& progress, int steps = 1);

    dao::Database& db_;
    ProgramStore& store_;
    Prompter& prompter_;
    CLocksRecordset locks_;
    CGroupsRecordset groups_;
    CFacilityPropertiesRecordset facility_;
    CAuditDataRecordset audit_;
    CTimeSchedulesRecordset schedules_;
    CScheduleEventsQuerySet events_;

    // The run's, while it runs.
    LockUserWrites* userWrites_ = nullptr;
    PendingEnrolments* enrolments_ = nullptr;
    int recordsPerCommit_ = ProgrammingBatch::kRecordsPerCommit;
    int locksProgrammed_ = 0;
    int lockAddress_ = 0;
    std::uint16_t sequence_ = 0;
    int position_ = 0, range_ = 0;
};

}  // namespace tandrel
