#pragma once

#include <cstdint>

#include "desktop/data/table_recordsets.h"

namespace tandrel {

// What has happened to a lock's programming, as its Pending Action Counter
// records it: 0 nothing outstanding, 1 handed to a device and not yet
// confirmed, 2 changes not yet handed to a device.
enum class LockEvent {
    Queued,     // programming queued for the lock
    Collected,  // its delivered records collected
    Purged,     // its records purged from a device, or the lock taken off it
};

// The counter after normalising: a set Data Downloaded Flag means 2 (and is
// cleared); otherwise above 2 means 1 and below 0 means 0.
int NormalisedPendingCounter(int counter, int dataDownloadedFlag);
// The counter after an event, from the normalised one.
int PendingCounterAfter(LockEvent event, int normalised);

// Applies an event to the current row of `locks`, which must be in edit mode.
void ApplyLockEvent(CLocksRecordset& locks, LockEvent event);

// Marks the current lock for download and saves it: the Data Downloaded
// Flag cleared, the Pending Action Counter 2.
void MarkLockPending(CLocksRecordset& locks);

}  // namespace tandrel
