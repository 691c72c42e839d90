#pragma once

#include <cstddef>
#include <memory>
#include <queue>
#include <vector>

#include "desktop/data/audit_query.h"
#include "platform/dao/database.h"

namespace tandrel {

struct AuditRun;

// Reads audit events one at a time, newest first: by time (events without
// one last), then by lock, then the latest logged first. The table has no
// index on time, and the engine sorts in memory (its temporary files would
// not be encrypted), so a sort would hold the whole trail. Instead each run
// of a lock's events (see AuditRun) is read along the primary key by a
// statement of its own and the runs are merged: memory grows with the runs,
// not with the events. Only a trail of more than `maxRuns` runs (clocks set
// back again and again) is left to the engine's sort. While the reader
// lives, the connection's page cache is kept small: the trail's pages are
// read once or twice each, and a large cache would only fill with them.
class AuditTrailReader {
  public:
    static constexpr std::size_t kMaxRuns = 4096;

    AuditTrailReader(dao::Database& db, const AuditQuery& query, std::size_t maxRuns = kMaxRuns);
    ~AuditTrailReader();
    AuditTrailReader(const AuditTrailReader&) = delete;
    AuditTrailReader& operator=(const AuditTrailReader&) = delete;

    // The next event; false after the last.
    bool Next(AuditEvent& event);
    // Whether the runs are merged (false: the engine sorts).
    bool Merging() const { return !sorted_; }

  private:
    struct Cursor;
    struct Later {
        bool operator()(const Cursor* a, const Cursor* b) const;
    };

    void OpenRuns(dao::Database& db, const std::string& condition,
                  const std::vector<AuditRun>& runs);

    class SmallPageCache {
      public:
        explicit SmallPageCache(dao::Database& db);
        ~SmallPageCache();

      private:
        dao::Database& db_;
        qint64 previous_;
    };

    SmallPageCache cache_;
    std::vector<std::unique_ptr<Cursor>> cursors_;
    std::priority_queue<Cursor*, std::vector<Cursor*>, Later> heads_;
    std::unique_ptr<dao::sqlite::Statement> sorted_;
};

}  // namespace tandrel
