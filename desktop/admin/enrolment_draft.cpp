#include "desktop/admin/enrolment_draft.h"

#include "platform/dao/recordset.h"

namespace tandrel {
namespace {

EnrolmentDraft DraftOf(dao::Recordset& rs) {
    EnrolmentDraft d;
    d.lockKey = rs.Value("Lock Index").toInt();
    d.userKey = rs.Value("User Index").toInt();
    d.storedState = d.state = rs.Value("Record State").toInt();
    d.typeByte = static_cast<std::uint8_t>(rs.Value("User Type").toInt() & 0x7F);
    d.useDefaults = rs.Value("Use Type Defaults").toBool();
    d.downloadRev = rs.Value("Download User Rev Number").toInt();
    d.slot = rs.Value("Lock User Index").toInt();
    return d;
}

std::vector<EnrolmentDraft> Drafts(dao::Database& db, const char* index, int key) {
    std::vector<EnrolmentDraft> drafts;
    auto rs = db.OpenTable("Users to Locks");
    rs->SetIndex(index);
    for (rs->Seek("=", {key}); rs->HasCurrent(); rs->MoveNext()) {
        EnrolmentDraft d = DraftOf(*rs);
        if ((QLatin1String(index) == QLatin1String("User Index") ? d.userKey : d.lockKey) != key)
            break;
        drafts.push_back(d);
    }
    return drafts;
}

}  // namespace

bool EnrolmentDraft::Changed(const EnrolmentDraft& stored) const {
    return state != stored.state || typeByte != stored.typeByte ||
           useDefaults != stored.useDefaults;
}

bool EnrolDraft(EnrolmentDraft& draft) {
    if (draft.Enrolled()) return false;
    if (draft.state == kPendingRemoval) {
        draft.state = CountsAsEnrolled(draft.storedState) ? draft.storedState : kPendingEnrolment;
        return false;
    }
    draft.state = kPendingEnrolment;
    return !draft.HasRow();
}

void RemoveDraft(EnrolmentDraft& draft) {
    const bool neverDelivered =
        !draft.HasRow() || (draft.storedState == kPendingEnrolment && draft.downloadRev == 0);
    draft.state =
        neverDelivered && draft.state == kPendingEnrolment ? kNotEnrolled : kPendingRemoval;
}

int LowestFreeSlot(dao::Database& db, int lockKey, int capacity) {
    auto rs = db.OpenTable("Users to Locks");
    rs->SetIndex("PrimaryKey");
    // Slots of the lock come in order; the first gap is the lowest free one.
    int expected = 0;
    for (rs->Seek(">=", {lockKey, 0}); rs->HasCurrent() && expected < capacity; rs->MoveNext()) {
        if (rs->Value("Lock Index").toInt() != lockKey) break;
        int slot = rs->Value("Lock User Index").toInt();
        if (slot < expected) continue;
        if (slot > expected) break;
        ++expected;
    }
    return expected < capacity ? expected : -1;
}

SlotAllocator::SlotAllocator(dao::Database& db, int lockKey, int capacity)
    : used_(static_cast<std::size_t>(std::max(capacity, 0)), false) {
    dao::sqlite::Statement s(db.Connection().Handle(),
                             "SELECT \"Lock User Index\" FROM \"Users to Locks\" WHERE \"Lock "
                             "Index\" = ?");
    s.BindInt(1, lockKey);
    while (s.Step()) {
        qint64 slot = s.Int(0);
        if (slot >= 0 && slot < static_cast<qint64>(used_.size())) used_[slot] = true;
    }
}

int SlotAllocator::Take() {
    while (next_ < used_.size() && used_[next_]) ++next_;
    if (next_ >= used_.size()) return -1;
    used_[next_] = true;
    return static_cast<int>(next_);
}

int FreeSlotCount(dao::Database& db, int lockKey, int capacity) {
    auto& s = db.Connection().Cached(
        "SELECT count(*) FROM \"Users to Locks\" WHERE \"Lock Index\" = ? AND \"Lock User Index\" "
        ">= 0 AND \"Lock User Index\" < ?");
    s.BindInt(1, lockKey);
    s.BindInt(2, capacity);
    s.Step();
    int used = static_cast<int>(s.Int(0));
    s.Reset();
    return capacity > used ? capacity - used : 0;
}

int ProgrammerCount(dao::Database& db, int lockKey) {
    auto locks = db.OpenTable("Locks");
    return locks->FindByKey({lockKey}) ? locks->Value("PgmIDCount").toInt() : 0;
}

void AppendEnrolmentRow(CUsersToLocksRecordset& rows, const EnrolmentDraft& draft, int slot) {
    rows.AddNew();
    rows.m_LockIndex = draft.lockKey;
    rows.m_UserIndex = draft.userKey;
    rows.m_LockUserIndex = static_cast<std::int16_t>(slot);
    rows.m_UseTypeDefaults = draft.useDefaults;
    rows.m_UserType = draft.typeByte;
    rows.m_DownloadUserRevNumber = 0;
    rows.m_RecordState = static_cast<std::uint8_t>(draft.state);
    rows.Update();
}

std::vector<EnrolmentDraft> StoredEnrolmentsOfUser(dao::Database& db, int userKey) {
    return Drafts(db, "User Index", userKey);
}

std::vector<EnrolmentDraft> StoredEnrolmentsOfLock(dao::Database& db, int lockKey) {
    return Drafts(db, "Lock Index", lockKey);
}

}  // namespace tandrel
