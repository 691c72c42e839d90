#include "desktop/exchange/lock_enrolments.h"

#include <algorithm>

#include "desktop/data/facility_states.h"
#include "desktop/exchange/revision_marks.h"

namespace tandrel {
namespace {

std::string Select(bool wholeTable) {
    return std::string(
               "SELECT e.\"Lock Index\", e.rowid, e.\"Lock User Index\", e.\"User Type\", "
               "e.\"Record State\", e.\"Download User Rev Number\", e.\"User Index\", u.\"User "
               "Key\", u.\"Revision Counter\" FROM \"Users to Locks\" AS e ") +
           (wholeTable ? "NOT INDEXED " : "") +
           "LEFT JOIN Users AS u ON u.\"User Key\" = e.\"User Index\"" +
           (wholeTable ? "" : " WHERE e.\"Lock Index\" = ?");
}

CollectedEnrolment RowOf(const dao::sqlite::Statement& s) {
    CollectedEnrolment row;
    row.rowid = s.Int(1);
    row.slot = static_cast<int>(s.Int(2));
    row.userType = static_cast<int>(s.Int(3));
    row.recordState = static_cast<int>(s.Int(4));
    row.downloadedRevision = static_cast<std::int16_t>(s.Int(5));
    row.userKey = static_cast<int>(s.Int(6));
    row.userFound = !s.IsNull(7);
    row.userRevision = static_cast<std::int16_t>(s.Int(8));
    return row;
}

void SortBySlot(std::vector<CollectedEnrolment>& rows) {
    std::sort(
        rows.begin(), rows.end(),
        [](const CollectedEnrolment& a, const CollectedEnrolment& b) { return a.slot < b.slot; });
}

}  // namespace

EnrolmentSource::EnrolmentSource(dao::Database& db, bool wholeTable) : db_(db) {
    if (!wholeTable) return;
    auto& byLock = byLock_.emplace();
    dao::sqlite::Statement s(db.Connection().Handle(), Select(true));
    while (s.Step()) byLock[static_cast<int>(s.Int(0))].push_back(RowOf(s));
    for (auto& [lock, rows] : byLock) SortBySlot(rows);
}

std::vector<CollectedEnrolment> EnrolmentSource::Take(int lockKey) {
    std::vector<CollectedEnrolment> rows;
    if (byLock_) {
        auto found = byLock_->find(lockKey);
        if (found != byLock_->end()) {
            rows = std::move(found->second);
            byLock_->erase(found);
        }
        return rows;
    }
    auto& s = db_.Connection().Cached(Select(false));
    s.BindInt(1, lockKey);
    while (s.Step()) rows.push_back(RowOf(s));
    s.Reset();
    SortBySlot(rows);
    return rows;
}

CollectedEnrolment* LockEnrolments::InSlot(int slot) {
    auto found = std::lower_bound(
        rows_.begin(), rows_.end(), slot,
        [](const CollectedEnrolment& row, int wanted) { return row.slot < wanted; });
    return found != rows_.end() && found->slot == slot && !found->deleted ? &*found : nullptr;
}

std::vector<int> LockEnrolments::Removed(int first, int last) {
    std::vector<int> users;
    auto it = std::lower_bound(
        rows_.begin(), rows_.end(), first,
        [](const CollectedEnrolment& row, int wanted) { return row.slot < wanted; });
    for (; it != rows_.end() && it->slot <= last; ++it) {
        if (it->deleted || it->recordState != kPendingRemoval) continue;
        it->deleted = true;
        users.push_back(it->userKey);
    }
    return users;
}

std::optional<int> LockEnrolments::Written(int slot, int heldType) {
    CollectedEnrolment* row = InSlot(slot);
    if (!row) return std::nullopt;
    row->downloadedRevision = MarkCleared(row->downloadedRevision);
    row->changed = true;
    if (!row->userFound || !HoldsRevision(row->downloadedRevision, row->userRevision) ||
        row->userType != heldType || row->recordState <= kEnrolmentCurrent)
        return std::nullopt;
    row->recordState = kEnrolmentCurrent;
    return row->userKey;
}

void LockEnrolments::TakeChanges(std::vector<CollectedEnrolment>& changes) {
    for (CollectedEnrolment& row : rows_) {
        if (row.changed || row.deleted) changes.push_back(row);
    }
    rows_.clear();
}

void WriteEnrolmentChanges(dao::Database& db, std::vector<CollectedEnrolment>& changes) {
    std::sort(
        changes.begin(), changes.end(),
        [](const CollectedEnrolment& a, const CollectedEnrolment& b) { return a.rowid < b.rowid; });
    auto& remove = db.Connection().Cached("DELETE FROM \"Users to Locks\" WHERE rowid = ?");
    auto& settle = db.Connection().Cached(
        "UPDATE \"Users to Locks\" SET \"Download User Rev Number\" = ?, \"Record State\" = ? "
        "WHERE rowid = ?");
    for (const CollectedEnrolment& row : changes) {
        if (row.deleted) {
            remove.Reset();
            remove.BindInt(1, row.rowid);
            remove.Run();
        } else {
            settle.Reset();
            settle.BindInt(1, row.downloadedRevision);
            settle.BindInt(2, row.recordState);
            settle.BindInt(3, row.rowid);
            settle.Run();
        }
    }
    remove.Reset();
    settle.Reset();
    changes.clear();
}

}  // namespace tandrel
