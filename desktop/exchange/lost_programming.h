#pragma once

#include <vector>

#include "desktop/exchange/program_store.h"
#include "platform/dao/database.h"

namespace tandrel {

// Sends back to waiting for programming every lock of the device that is
// marked as handed to it (Pending Action Counter 1) while the device holds
// none of its records: they were lost on the way (the program or the device
// stopped before they were stored, the store filled up). The exchange then
// lists the lock again, and as its revision columns still carry their
// pending marks, its next run queues everything again. Meant for after the
// device's delivered records were collected, when a handed lock always has
// records left. 0 or the device error; the locks sent back in `requeued`.
int RequeueLostProgramming(dao::Database& db, ProgramStore& store, int deviceKey,
                           std::vector<int>* requeued = nullptr);

}  // namespace tandrel
