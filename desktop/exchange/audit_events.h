#pragma once

#include <QString>

#include <vector>

namespace tandrel {

// The audit event types the audit report names, in the order it offers
// them.
const std::vector<int>& NamedAuditEvents();
// The name of an audit event type ("Log On", "Set Clock"); empty for types
// the lock logs without a name.
QString AuditEventName(int type);
// The name, or the type's number when it has none.
QString AuditEventText(int type);
// Whether events of the type carry an access level / user groups.
bool AuditEventHasLevel(int type);
bool AuditEventHasGroups(int type);

}  // namespace tandrel
