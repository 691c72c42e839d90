#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/database.h"

namespace tandrel {

// A stretch of one lock's audit events, newest key first, whose times never
// rise along it. A lock logs its events under rising keys, so while its
// clock runs forward its whole trail is one run; each time the clock is set
// back (or gives no moment) a new run starts.
struct AuditRun {
    std::optional<int> lockKey;  // none for events stored without a lock
    qint64 firstKey = 0;         // the newest key of the run
    qint64 lastKey = 0;          // the oldest
};

// The runs of the events `condition` selects (an SQL condition on
// `Audit Data` AS a): read in storage order, and along the primary key for
// locks whose events are not stored in key order; nullopt as soon as there
// are more than `maxRuns`.
std::optional<std::vector<AuditRun>> FindAuditRuns(dao::Database& db, const std::string& condition,
                                                   std::size_t maxRuns);

}  // namespace tandrel
