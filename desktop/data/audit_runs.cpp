#include "desktop/data/audit_runs.h"

namespace tandrel {
namespace {

// One event as the runs see it.
struct Step {
    std::optional<int> lock;
    qint64 key = 0;
    std::optional<qint64> time;
};

// Whether `next` (the lock's next older key) may follow `previous` in one
// run: its time is not later, an event without a time counting as the
// oldest.
bool Continues(const Step& previous, const Step& next) {
    if (next.lock != previous.lock) return false;
    if (!next.time) return true;
    return previous.time && *next.time <= *previous.time;
}

Step StepOf(const dao::sqlite::Statement& s) {
    Step step;
    if (!s.IsNull(0)) step.lock = static_cast<int>(s.Int(0));
    step.key = s.Int(1);
    if (!s.IsNull(2)) step.time = s.Int(2);
    return step;
}

}  // namespace

std::optional<std::vector<AuditRun>> FindAuditRuns(dao::Database& db, const std::string& condition,
                                                   std::size_t maxRuns) {
    dao::sqlite::Statement s(db.Connection().Handle(),
                             "SELECT a.LockKey, a.AuditKey, a.TimeStamp FROM \"Audit Data\" AS a "
                             "WHERE " +
                                 condition + " ORDER BY a.LockKey, a.AuditKey DESC");
    std::vector<AuditRun> runs;
    std::optional<Step> previous;
    while (s.Step()) {
        const Step step = StepOf(s);
        if (previous && Continues(*previous, step)) {
            runs.back().lastKey = step.key;
        } else {
            if (runs.size() == maxRuns) return std::nullopt;
            runs.push_back({step.lock, step.key, step.key});
        }
        previous = step;
    }
    return runs;
}

}  // namespace tandrel
