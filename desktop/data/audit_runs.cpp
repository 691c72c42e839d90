#include "desktop/data/audit_runs.h"

#include <limits>
#include <map>

namespace tandrel {
namespace {

// One event as the runs see it.
struct Step {
    std::optional<int> lock;
    qint64 key = 0;
    std::optional<qint64> time;
};

Step StepOf(const dao::sqlite::Statement& s) {
    Step step;
    if (!s.IsNull(0)) step.lock = static_cast<int>(s.Int(0));
    step.key = s.Int(1);
    if (!s.IsNull(2)) step.time = s.Int(2);
    return step;
}

// Whether `older` (the lock's next lower key) belongs to the run of `newer`:
// its time is not later, an event without a time counting as the oldest.
bool SameRun(const Step& newer, const Step& older) {
    if (!older.time) return true;
    return newer.time && *older.time <= *newer.time;
}

// One lock's runs as its events come in rising key order. Events stored in
// any other order leave the lock unordered: its runs are then found along
// the primary key.
struct LockRuns {
    std::vector<AuditRun> runs;
    std::optional<Step> last;
    bool ordered = true;

    void Add(const Step& step) {
        if (last && step.key <= last->key) ordered = false;
        if (!ordered) return;
        if (last && SameRun(step, *last)) {
            runs.back().firstKey = step.key;
        } else {
            runs.push_back({step.lock, step.key, step.key});
        }
        last = step;
    }
};

constexpr const char* kSelectSteps =
    "SELECT a.LockKey, a.AuditKey, a.TimeStamp FROM \"Audit Data\" AS a WHERE ";

// The runs of one lock read along the primary key, newest key first.
std::vector<AuditRun> RunsAlongKey(dao::Database& db, const std::optional<int>& lock,
                                   const std::string& condition) {
    dao::sqlite::Statement s(db.Connection().Handle(), kSelectSteps +
                                                           std::string("a.LockKey IS ?1 AND ") +
                                                           condition + " ORDER BY a.AuditKey DESC");
    if (lock) s.BindInt(1, *lock);
    std::vector<AuditRun> runs;
    std::optional<Step> newer;
    while (s.Step()) {
        const Step step = StepOf(s);
        if (newer && SameRun(*newer, step)) {
            runs.back().lastKey = step.key;
        } else {
            runs.push_back({step.lock, step.key, step.key});
        }
        newer = step;
    }
    return runs;
}

}  // namespace

std::optional<std::vector<AuditRun>> FindAuditRuns(dao::Database& db, const std::string& condition,
                                                   std::size_t maxRuns) {
    // Locks log under rising keys and their events are mostly stored in
    // that order, so one pass in storage order (each page read once) finds
    // most runs; only locks stored otherwise are read along the key.
    std::map<std::optional<int>, LockRuns> locks;
    std::size_t count = 0;
    dao::sqlite::Statement s(db.Connection().Handle(), kSelectSteps + condition);
    while (s.Step()) {
        const Step step = StepOf(s);
        LockRuns& lock = locks[step.lock];
        const std::size_t before = lock.runs.size();
        lock.Add(step);
        if (lock.ordered) {
            count += lock.runs.size() - before;
        } else if (before > 0) {
            count -= before;
            lock.runs.clear();
            lock.runs.shrink_to_fit();
        }
        if (count > maxRuns) return std::nullopt;
    }
    std::vector<AuditRun> runs;
    for (auto& [key, lock] : locks) {
        std::vector<AuditRun> found =
            lock.ordered ? std::move(lock.runs) : RunsAlongKey(db, key, condition);
        runs.insert(runs.end(), found.begin(), found.end());
        if (runs.size() > maxRuns) return std::nullopt;
    }
    return runs;
}

}  // namespace tandrel
