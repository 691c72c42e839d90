#include "desktop/data/audit_trail_reader.h"

#include <limits>

#include "desktop/data/audit_runs.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

constexpr const char* kSelectEvents =
    "SELECT a.LockKey, a.AuditKey, a.TimeStamp, a.UserKey, a.Event, a.AccessLevel, "
    "a.UserGroups FROM \"Audit Data\" AS a WHERE ";

AuditEvent EventOf(const dao::sqlite::Statement& s) {
    AuditEvent e;
    e.lockKey = static_cast<int>(s.Int(0));
    e.auditKey = s.Int(1);
    if (!s.IsNull(2)) e.time = s.Int(2);
    e.userKey = static_cast<int>(s.Int(3));
    e.event = static_cast<int>(s.Int(4));
    e.accessLevel = static_cast<int>(s.Int(5));
    e.userGroups = static_cast<int>(s.Int(6));
    return e;
}

// Events without a time sort after all others, as in the engine's
// descending order.
constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();
constexpr qint64 kNoLock = std::numeric_limits<qint64>::min();

}  // namespace

// One run's statement, standing on the run's next event.
struct AuditTrailReader::Cursor {
    std::unique_ptr<dao::sqlite::Statement> statement;
    qint64 time = kNoTime;
    qint64 lock = kNoLock;
    qint64 key = 0;

    bool Advance() {
        if (!statement->Step()) return false;
        lock = statement->IsNull(0) ? kNoLock : statement->Int(0);
        key = statement->Int(1);
        time = statement->IsNull(2) ? kNoTime : statement->Int(2);
        return true;
    }
};

// The queue keeps the earliest listed on top: newest time, lowest lock, highest key.
bool AuditTrailReader::Later::operator()(const Cursor* a, const Cursor* b) const {
    if (a->time != b->time) return a->time < b->time;
    if (a->lock != b->lock) return a->lock > b->lock;
    return a->key < b->key;
}

// In KiB, as PRAGMA cache_size takes a negative size: room for the pages a
// cursor of every run stands on.
constexpr qint64 kListingCacheKib = 8192;

AuditTrailReader::SmallPageCache::SmallPageCache(dao::Database& db) : db_(db) {
    dao::sqlite::Statement s(db.Connection().Handle(), "PRAGMA cache_size");
    previous_ = s.Step() ? s.Int(0) : -kListingCacheKib;
    db.Connection().Exec("PRAGMA cache_size = " + std::to_string(-kListingCacheKib));
}

AuditTrailReader::SmallPageCache::~SmallPageCache() {
    try {
        db_.Connection().Exec("PRAGMA cache_size = " + std::to_string(previous_));
    } catch (const dao::Error&) {
        // Only the speed of later reads depends on it; a destructor must not throw.
    }
}

AuditTrailReader::AuditTrailReader(dao::Database& db, const AuditQuery& query, std::size_t maxRuns)
    : cache_(db) {
    const std::string condition = AuditCondition(query);
    if (auto runs = FindAuditRuns(db, condition, maxRuns)) {
        OpenRuns(db, condition, *runs);
        return;
    }
    sorted_ = std::make_unique<dao::sqlite::Statement>(
        db.Connection().Handle(),
        kSelectEvents + condition + " ORDER BY a.TimeStamp DESC, a.LockKey, a.AuditKey DESC");
}

AuditTrailReader::~AuditTrailReader() = default;

void AuditTrailReader::OpenRuns(dao::Database& db, const std::string& condition,
                                const std::vector<AuditRun>& runs) {
    const std::string sql = kSelectEvents +
                            std::string("a.LockKey IS ?1 AND a.AuditKey <= ?2 AND ") +
                            "a.AuditKey >= ?3 AND " + condition + " ORDER BY a.AuditKey DESC";
    for (const AuditRun& run : runs) {
        auto cursor = std::make_unique<Cursor>();
        cursor->statement = std::make_unique<dao::sqlite::Statement>(db.Connection().Handle(), sql);
        if (run.lockKey) cursor->statement->BindInt(1, *run.lockKey);
        cursor->statement->BindInt(2, run.firstKey);
        cursor->statement->BindInt(3, run.lastKey);
        if (cursor->Advance()) heads_.push(cursor.get());
        cursors_.push_back(std::move(cursor));
    }
}

bool AuditTrailReader::Next(AuditEvent& event) {
    if (sorted_) {
        if (!sorted_->Step()) return false;
        event = EventOf(*sorted_);
        return true;
    }
    if (heads_.empty()) return false;
    Cursor* head = heads_.top();
    heads_.pop();
    event = EventOf(*head->statement);
    if (head->Advance()) heads_.push(head);
    return true;
}

}  // namespace tandrel
