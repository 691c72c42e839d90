#include "desktop/exchange/enrolment_rows.h"

#include <algorithm>

#include "desktop/data/facility_states.h"

namespace tandrel {
namespace {

// One part in this many of the facility's locks is "much".
constexpr std::size_t kMuchOfTheFacility = 4;

// Enrolments waiting for something to be sent to their lock.
std::string Waiting() {
    return "\"Record State\" > " + std::to_string(kEnrolmentCurrent);
}

std::string KeyList(const std::vector<int>& keys) {
    std::string list;
    for (int key : keys) list += (list.empty() ? "" : ", ") + std::to_string(key);
    return list;
}

// "NOT INDEXED" when the statement should pass through the whole table.
std::string TableOf(bool wholeTable) {
    return wholeTable ? "\"Users to Locks\" NOT INDEXED" : "\"Users to Locks\"";
}

PendingEnrolment PendingOf(const dao::sqlite::Statement& rows, int first) {
    PendingEnrolment e;
    e.slot = static_cast<int>(rows.Int(first));
    e.recordState = static_cast<int>(rows.Int(first + 1));
    e.userTypeByte = static_cast<int>(rows.Int(first + 2));
    e.userKey = static_cast<int>(rows.Int(first + 3));
    return e;
}

}  // namespace

bool CoversMuchOfTheFacility(dao::Database& db, std::size_t lockCount) {
    auto& s = db.Connection().Cached("SELECT count(*) FROM Locks");
    s.Step();
    const auto locks = static_cast<std::size_t>(s.Int(0));
    s.Reset();
    return lockCount * kMuchOfTheFacility >= locks;
}

PendingEnrolments::PendingEnrolments(dao::Database& db, const std::vector<int>& lockKeys)
    : db_(db) {
    if (lockKeys.empty() || !CoversMuchOfTheFacility(db, lockKeys.size())) return;
    auto& byLock = read_.emplace();
    dao::sqlite::Statement rows(
        db.Connection().Handle(),
        "SELECT \"Lock Index\", \"Lock User Index\", \"Record State\", \"User Type\", \"User "
        "Index\" FROM " +
            TableOf(true) + " WHERE " + Waiting() + " AND \"Lock Index\" IN (" + KeyList(lockKeys) +
            ")");
    while (rows.Step()) byLock[static_cast<int>(rows.Int(0))].push_back(PendingOf(rows, 1));
    for (auto& [lock, enrolments] : byLock) {
        std::sort(
            enrolments.begin(), enrolments.end(),
            [](const PendingEnrolment& a, const PendingEnrolment& b) { return a.slot < b.slot; });
    }
}

int PendingEnrolments::ForEach(int lockKey,
                               const std::function<int(const PendingEnrolment&)>& visit) {
    if (read_) {
        auto found = read_->find(lockKey);
        if (found == read_->end()) return 0;
        for (const PendingEnrolment& e : found->second) {
            if (int result = visit(e)) return result;
        }
        return 0;
    }
    // A statement of its own: `visit` may use the connection's cached ones.
    dao::sqlite::Statement rows(
        db_.Connection().Handle(),
        "SELECT \"Lock User Index\", \"Record State\", \"User Type\", \"User Index\" FROM "
        "\"Users to Locks\" WHERE \"Lock Index\" = ? AND " +
            Waiting() + " ORDER BY \"Lock User Index\"");
    rows.BindInt(1, lockKey);
    while (rows.Step()) {
        if (int result = visit(PendingOf(rows, 0))) return result;
    }
    return 0;
}

int EnrolmentCount(dao::Database& db, int lockKey) {
    auto& s =
        db.Connection().Cached("SELECT count(*) FROM \"Users to Locks\" WHERE \"Lock Index\" = ?");
    s.BindInt(1, lockKey);
    s.Step();
    const auto count = static_cast<int>(s.Int(0));
    s.Reset();
    return count;
}

void MarkUserRevisionsQueued(dao::Database& db, const std::vector<int>& lockKeys) {
    if (lockKeys.empty()) return;
    // The 16-bit column holds the revision with bit 15 set: as a signed
    // number, its low 15 bits less 32768.
    db.Connection().Exec(
        "UPDATE " + TableOf(CoversMuchOfTheFacility(db, lockKeys.size())) +
        " SET \"Download User Rev Number\" = (SELECT (coalesce(u.\"Revision Counter\", 0) & "
        "32767) - 32768 FROM Users AS u WHERE u.\"User Key\" = \"Users to Locks\".\"User Index\") "
        "WHERE \"Lock Index\" IN (" +
        KeyList(lockKeys) + ") AND \"Record State\" IN (" + std::to_string(kPendingEnrolment) +
        ", " + std::to_string(kPendingUpdate) + ")");
}

}  // namespace tandrel
