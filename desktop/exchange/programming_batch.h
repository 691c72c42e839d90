#pragma once

#include <optional>
#include <vector>

#include "desktop/exchange/program_store.h"
#include "platform/dao/database.h"

namespace tandrel {

// The locks of a programming run whose bookings commit together. Their
// records are made durable on the device before their rows commit, so no
// lock is marked as handed to the device while its records could still be
// lost; a batch whose records cannot be made durable is rolled back and its
// locks stay waiting for programming.
class ProgrammingBatch {
  public:
    // Records a batch holds before it commits: the commit writes every page
    // the batch changed, and one lock's enrolments are spread over the
    // whole table, so a commit per lock rewrote it a hundred times over. A
    // network device stores each record as it comes, so there a lock
    // commits on its own.
    static constexpr int kRecordsPerCommit = 1 << 18;

    ProgrammingBatch(dao::Database& db, ProgramStore& store,
                     int recordsPerCommit = kRecordsPerCommit)
        : db_(db), store_(store), recordsPerCommit_(recordsPerCommit) {}

    // Opens the batch's transaction unless it is open.
    void Begin();
    // A lock whose row is saved in the batch, with the records queued for
    // it (0: it needed none and is not handed to the device).
    void Add(int lockKey, int records);
    bool Full() const;
    // Marks the queued users' revisions, makes the records durable and
    // commits. 0, or the device's error after rolling the batch back.
    // Database errors are thrown (the batch is then rolled back).
    int Commit();
    // Locks handed to the device by the batches committed so far.
    int LocksHanded() const { return handedCommitted_; }

  private:
    dao::Database& db_;
    ProgramStore& store_;
    const int recordsPerCommit_;
    std::optional<dao::Transaction> transaction_;
    std::vector<int> handed_;
    int records_ = 0;
    int handedCommitted_ = 0;
};

}  // namespace tandrel
