#include <set>
#include <string>

#include "desktop/data/facility_document.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

// The locks a refresh marks (every one before the first that cannot be
// refreshed) and the message of that one, if any.
struct RefreshPlan {
    std::vector<int> locks;
    QString failure;
};

// "(1, 2, 3)": the keys are numbers of ours, so they go into the text.
std::string KeyList(const std::vector<int>& keys) {
    std::string list;
    for (int key : keys) list += (list.empty() ? "(" : ", ") + std::to_string(key);
    return list + ")";
}

std::set<int> KeysOf(dao::Database& db, const std::string& sql) {
    std::set<int> keys;
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    while (s.Step()) keys.insert(static_cast<int>(s.Int(0)));
    return keys;
}

RefreshPlan PlanRefresh(dao::Database& db, const std::vector<int>& lockKeys) {
    const std::string list = KeyList(lockKeys);
    const std::set<int> existing =
        KeysOf(db, "SELECT \"Lock Key\" FROM Locks WHERE \"Lock Key\" IN " + list);
    const std::set<int> missingUser = KeysOf(
        db,
        "SELECT DISTINCT e.\"Lock Index\" FROM \"Users to Locks\" AS e WHERE e.\"Lock Index\" IN " +
            list + " AND e.\"Record State\" = " + std::to_string(kEnrolmentCurrent) +
            " AND NOT EXISTS (SELECT 1 FROM Users AS u WHERE "
            "u.\"User Key\" = e.\"User Index\")");
    RefreshPlan plan;
    for (int key : lockKeys) {
        if (!existing.count(key)) {
            plan.failure = texts::kErrorRetrievingLock + texts::kCanNotContinueSuffix;
            break;
        }
        if (missingUser.count(key)) {
            plan.failure = texts::kErrorRetrievingUser + texts::kCanNotContinueSuffix;
            break;
        }
        plan.locks.push_back(key);
    }
    return plan;
}

// Each user is raised once per current enrolment in the locks (twice for
// two slots of one lock); those enrolments then wait for an update.
void MarkLocks(dao::Database& db, const std::vector<int>& lockKeys) {
    const std::string list = KeyList(lockKeys);
    db.ExecuteSql(
        "UPDATE Locks SET \"Data Downloaded Flag\" = 0, \"Pending Action Counter\" = " +
        std::to_string(kNotYetHanded) +
        ", \"Downloaded Open Delay Seconds\" = 0, \"Downloaded Facility Rev\" = 0, "
        "\"Downloaded UG Table Rev\" = 0, \"Downloaded TS Rev\" = 0, \"Rebuild User List\" = 1, "
        "\"Record State\" = " +
        std::to_string(kLockNew) + " WHERE \"Lock Key\" IN " + list);
    const std::string current = "\"Record State\" = " + std::to_string(kEnrolmentCurrent) +
                                " AND \"Lock Index\" IN " + list;
    db.ExecuteSql(
        "UPDATE Users SET \"Pending Action Counter\" = coalesce(\"Pending Action Counter\", 0) + "
        "(SELECT count(*) FROM \"Users to Locks\" WHERE \"User Index\" = Users.\"User Key\" AND " +
        current + ") WHERE \"User Key\" IN (SELECT \"User Index\" FROM \"Users to Locks\" WHERE " +
        current + ")");
    db.ExecuteSql("UPDATE \"Users to Locks\" SET \"Record State\" = " +
                  std::to_string(kPendingUpdate) + " WHERE " + current);
}

}  // namespace

std::vector<int> CTDXDoc::AllLockKeys() {
    std::vector<int> keys;
    dao::sqlite::Statement& s =
        db_->Connection().Cached("SELECT \"Lock Key\" FROM Locks ORDER BY \"Lock Key\"");
    while (s.Step()) keys.push_back(static_cast<int>(s.Int(0)));
    s.Reset();
    return keys;
}

// The refreshes of different locks touch different rows, so the locks
// before the first that cannot be refreshed are refreshed together in one
// transaction: the same rows change as with a transaction per lock, without
// rewriting every user page once per lock. An engine error leaves all of
// them as they were.
bool CTDXDoc::ForceRefresh(const std::vector<int>& lockKeys) {
    if (lockKeys.empty()) return true;
    auto progress = prompter_.StartProgress(texts::kRefreshTitle, texts::kCheckingLocks, 2);
    try {
        const RefreshPlan plan = PlanRefresh(*db_, lockKeys);
        progress->SetPosition(1);
        if (!plan.locks.empty()) {
            progress->SetText(texts::MarkingLocks(plan.locks.size()));
            dao::Transaction transaction(*db_);
            MarkLocks(*db_, plan.locks);
            transaction.Commit();
        }
        progress.reset();
        if (!plan.failure.isEmpty()) {
            prompter_.Message(plan.failure, PromptIcon::Exclamation);
            return false;
        }
    } catch (const dao::Error& e) {
        progress.reset();
        ShowEngineError(e);
        return false;
    }
    return true;
}

}  // namespace tandrel
