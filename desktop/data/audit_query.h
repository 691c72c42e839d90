#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "platform/dao/database.h"

namespace tandrel {

// Which audit events to read; unset parts select every event.
struct AuditQuery {
    std::optional<int> lock;
    std::optional<int> user;
    std::optional<int> event;
    std::optional<qint64> since;  // Date/Time storage seconds, inclusive
    std::optional<qint64> until;  // inclusive
};

// The query as an SQL condition on `Audit Data` AS a ("1" for every event).
// Its values are numbers of ours, so they go into the text, where the
// planner also sees them.
std::string AuditCondition(const AuditQuery& query);

// Whether the audit data holds events of the lock, of the user: events
// outlive the locks and users they name.
bool AuditHasLock(dao::Database& db, int lockKey);
bool AuditHasUser(dao::Database& db, int userKey);

// One audit event as stored.
struct AuditEvent {
    int lockKey = 0;
    qint64 auditKey = 0;
    std::optional<qint64> time;  // storage seconds; none when the lock's clock gave none
    int userKey = 0;
    int event = 0;
    int accessLevel = 0;
    int userGroups = 0;
};

// The names of a user as the Users row has them.
struct UserNames {
    QString last, first, middleInitial;
};

// The names of every lock, of every user the facility has, in key order.
void ForEachLockName(dao::Database& db, const std::function<void(int, const QString&)>& name);
void ForEachUserNames(dao::Database& db, const std::function<void(int, const UserNames&)>& names);

}  // namespace tandrel
