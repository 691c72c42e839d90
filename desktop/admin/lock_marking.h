#pragma once

#include "desktop/data/table_recordsets.h"

namespace tandrel {

// Marks every lock for a download of facility-wide data (facility
// properties, the user group table): a lock being removed (Record State 4)
// is left out; every other gets the purged event (Pending Action Counter
// 2, Data Downloaded Flag cleared), and a current lock (Record State 1)
// becomes 3. A lock already at 2 still changes state: only locks above
// state 1 receive facility-wide commands. A new lock (state 2) keeps its
// state, or it would lose its address set-up.
void MarkLocksForFacilityData(CLocksRecordset& locks);

}  // namespace tandrel
