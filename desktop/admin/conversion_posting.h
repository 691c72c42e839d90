#pragma once

#include <set>

#include "desktop/data/table_recordsets.h"

namespace tandrel {

// Steps shared by the code ID and PIN length conversions when they rewrite
// what locks hold of a user.

// The user's enrolments that are current (Record State 1) become pending
// update (3); returns how many did, and adds their locks to `lockKeys`.
int MarkEnrolmentsForUpdate(CUsersToLocksRecordset& enrolments, int userKey,
                            std::set<int>& lockKeys);

// On the user row in edit mode: Pending Action Counter + `markedRows`, a
// current user (Record State 1) becomes 3 when `stateChanges`, Revision
// Counter + 1.
void CountBulkChange(CLockUsersRecordset& users, int markedRows, bool stateChanges);

// Gives each lock the purged event (Pending Action Counter 2) and saves it.
void PurgeLocks(CLocksRecordset& locks, const std::set<int>& lockKeys);

// The keys of the groups with AutoCode on.
std::set<int> AutocodeGroups(CGroupsRecordset& groups);

}  // namespace tandrel
