#include "desktop/exchange/enrolment_rows.h"

namespace tandrel {

int ForEachPendingEnrolment(dao::Database& db, int lockKey,
                            const std::function<int(const PendingEnrolment&)>& visit) {
    // A statement of its own: `visit` may use the connection's cached ones.
    dao::sqlite::Statement rows(
        db.Connection().Handle(),
        "SELECT \"Lock User Index\", \"Record State\", \"User Type\", \"User Index\" FROM "
        "\"Users to Locks\" WHERE \"Lock Index\" = ? AND \"Record State\" > 1 ORDER BY \"Lock User "
        "Index\"");
    rows.BindInt(1, lockKey);
    PendingEnrolment e;
    while (rows.Step()) {
        e.slot = static_cast<int>(rows.Int(0));
        e.recordState = static_cast<int>(rows.Int(1));
        e.userTypeByte = static_cast<int>(rows.Int(2));
        e.userKey = static_cast<int>(rows.Int(3));
        if (int result = visit(e)) return result;
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
    std::string keys;
    for (int key : lockKeys) keys += (keys.empty() ? "" : ", ") + std::to_string(key);
    // The 16-bit column holds the revision with bit 15 set: as a signed
    // number, its low 15 bits less 32768.
    db.Connection().Exec(
        "UPDATE \"Users to Locks\" SET \"Download User Rev Number\" = (SELECT "
        "(coalesce(u.\"Revision Counter\", 0) & 32767) - 32768 FROM Users AS u WHERE u.\"User "
        "Key\" = \"Users to Locks\".\"User Index\") WHERE \"Lock Index\" IN (" +
        keys + ") AND \"Record State\" IN (2, 3)");
}

std::vector<LeavingEnrolment> EnrolmentsLeaving(dao::Database& db, int lockKey, int first,
                                                int last) {
    auto& s = db.Connection().Cached(
        "SELECT rowid, \"User Index\" FROM \"Users to Locks\" WHERE \"Lock Index\" = ? AND "
        "\"Lock User Index\" BETWEEN ? AND ? AND \"Record State\" = 4 ORDER BY \"Lock User "
        "Index\"");
    s.BindInt(1, lockKey);
    s.BindInt(2, first);
    s.BindInt(3, last);
    std::vector<LeavingEnrolment> rows;
    while (s.Step()) rows.push_back({s.Int(0), static_cast<int>(s.Int(1))});
    s.Reset();
    return rows;
}

void DeleteEnrolment(dao::Database& db, qint64 row) {
    auto& s = db.Connection().Cached("DELETE FROM \"Users to Locks\" WHERE rowid = ?");
    s.BindInt(1, row);
    s.Run();
}

std::optional<SlotEnrolment> EnrolmentInSlot(dao::Database& db, int lockKey, int slot) {
    auto& s = db.Connection().Cached(
        "SELECT e.rowid, e.\"User Type\", e.\"Record State\", e.\"Download User Rev Number\", "
        "e.\"User Index\", u.\"User Key\", u.\"Revision Counter\" FROM \"Users to Locks\" AS e "
        "LEFT JOIN Users AS u ON u.\"User Key\" = e.\"User Index\" WHERE e.\"Lock Index\" = ? AND "
        "e.\"Lock User Index\" = ?");
    s.BindInt(1, lockKey);
    s.BindInt(2, slot);
    std::optional<SlotEnrolment> found;
    if (s.Step()) {
        SlotEnrolment e;
        e.row = s.Int(0);
        e.userType = static_cast<int>(s.Int(1));
        e.recordState = static_cast<int>(s.Int(2));
        e.downloadedRevision = static_cast<std::int16_t>(s.Int(3));
        e.userKey = static_cast<int>(s.Int(4));
        e.userFound = !s.IsNull(5);
        e.userRevision = static_cast<std::int16_t>(s.Int(6));
        found = e;
    }
    s.Reset();
    return found;
}

void SettleEnrolment(dao::Database& db, const SlotEnrolment& enrolment) {
    auto& s = db.Connection().Cached(
        "UPDATE \"Users to Locks\" SET \"Download User Rev Number\" = ?, \"Record State\" = ? "
        "WHERE rowid = ?");
    s.BindInt(1, enrolment.downloadedRevision);
    s.BindInt(2, enrolment.recordState);
    s.BindInt(3, enrolment.row);
    s.Run();
}

void LowerUserPending(dao::Database& db, int userKey) {
    auto& s = db.Connection().Cached(
        "UPDATE Users SET \"Pending Action Counter\" = \"Pending Action Counter\" - 1 WHERE "
        "\"User Key\" = ? AND \"Pending Action Counter\" > 0");
    s.BindInt(1, userKey);
    s.Run();
}

}  // namespace tandrel
