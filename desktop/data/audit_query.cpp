#include "desktop/data/audit_query.h"

namespace tandrel {
namespace {

void And(std::string& condition, const std::string& part) {
    condition += (condition.empty() ? "" : " AND ") + part;
}

bool Any(dao::Database& db, const char* sql, int key) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    s.BindInt(1, key);
    return s.Step();
}

}  // namespace

std::string AuditCondition(const AuditQuery& q) {
    std::string condition;
    if (q.lock) And(condition, "a.LockKey = " + std::to_string(*q.lock));
    if (q.user) And(condition, "a.UserKey = " + std::to_string(*q.user));
    if (q.event) And(condition, "a.Event = " + std::to_string(*q.event));
    if (q.since) And(condition, "a.TimeStamp >= " + std::to_string(*q.since));
    if (q.until) And(condition, "a.TimeStamp <= " + std::to_string(*q.until));
    return condition.empty() ? "1" : condition;
}

void ForEachLockName(dao::Database& db, const std::function<void(int, const QString&)>& name) {
    dao::sqlite::Statement s(db.Connection().Handle(),
                             "SELECT \"Lock Key\", Name FROM Locks ORDER BY \"Lock Key\"");
    while (s.Step()) name(static_cast<int>(s.Int(0)), s.Text(1));
}

void ForEachUserNames(dao::Database& db, const std::function<void(int, const UserNames&)>& names) {
    dao::sqlite::Statement s(db.Connection().Handle(),
                             "SELECT \"User Key\", \"Last Name\", \"First Name\", "
                             "\"Middle Initial\" FROM Users ORDER BY \"User Key\"");
    while (s.Step()) names(static_cast<int>(s.Int(0)), UserNames{s.Text(1), s.Text(2), s.Text(3)});
}

bool AuditHasLock(dao::Database& db, int lockKey) {
    return Any(db, "SELECT 1 FROM \"Audit Data\" WHERE LockKey = ?1 LIMIT 1", lockKey);
}

bool AuditHasUser(dao::Database& db, int userKey) {
    return Any(db, "SELECT 1 FROM \"Audit Data\" WHERE UserKey = ?1 LIMIT 1", userKey);
}

}  // namespace tandrel
