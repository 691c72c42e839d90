#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "desktop/data/audit_runs.h"
#include "desktop/data/audit_trail_reader.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

using Key = std::tuple<int, qint64>;  // lock, audit key

template <typename Set>
AuditQuery Query(Set set) {
    AuditQuery q;
    set(q);
    return q;
}

// The events the engine's own sort lists for the condition.
std::vector<Key> SortedByEngine(dao::Database& db, const AuditQuery& query) {
    std::vector<Key> keys;
    dao::sqlite::Statement s(db.Connection().Handle(),
                             "SELECT a.LockKey, a.AuditKey FROM \"Audit Data\" AS a WHERE " +
                                 AuditCondition(query) +
                                 " ORDER BY a.TimeStamp DESC, a.LockKey, a.AuditKey DESC");
    while (s.Step()) keys.emplace_back(static_cast<int>(s.Int(0)), s.Int(1));
    return keys;
}

std::vector<Key> Read(dao::Database& db, const AuditQuery& query,
                      std::size_t maxRuns = AuditTrailReader::kMaxRuns) {
    std::vector<Key> keys;
    AuditTrailReader reader(db, query, maxRuns);
    for (AuditEvent e; reader.Next(e);) keys.emplace_back(e.lockKey, e.auditKey);
    return keys;
}

class AuditTrail : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }
    void Add(int lock, qint64 key, std::optional<qint64> time, int user = 2, int event = 3) {
        doc.Db().ExecuteSql(
            "INSERT INTO \"Audit Data\" (LockKey, AuditKey, UserKey, Event, TimeStamp, "
            "AccessLevel, UserGroups) VALUES (" +
            std::to_string(lock) + ", " + std::to_string(key) + ", " + std::to_string(user) + ", " +
            std::to_string(event) + ", " + (time ? std::to_string(*time) : "NULL") + ", 2, 1)");
    }
    // Three locks logging over the same hours: clocks that run forward,
    // are set back, stand still or give no moment. Lock 1's events are
    // stored in key order, lock 2's newest first in blocks as a collection
    // stores them, lock 3's in no order at all.
    void AddIrregularTrail() {
        struct Row {
            int lock;
            qint64 key;
            std::optional<qint64> time;
            int user, event;
        };
        std::mt19937 random(7);
        std::vector<Row> rows;
        for (int lock = 1; lock <= 3; ++lock) {
            qint64 clock = 1'000'000;
            for (qint64 key = 1; key <= 400; ++key) {
                const unsigned roll = random() % 100;
                if (roll < 3) clock -= 3600;  // set back
                if (roll >= 3 && roll < 80) clock += 60 * (random() % 3);
                rows.push_back({lock, key, roll == 99 ? std::nullopt : std::optional(clock),
                                2 + static_cast<int>(random() % 3),
                                3 + static_cast<int>(random() % 3)});
            }
        }
        for (std::size_t block = 400; block < 800; block += 50)
            std::reverse(rows.begin() + block, rows.begin() + block + 50);
        std::shuffle(rows.begin() + 800, rows.end(), random);
        dao::Transaction transaction(doc.Db());
        for (const Row& r : rows) Add(r.lock, r.key, r.time, r.user, r.event);
        transaction.Commit();
    }
    qint64 CacheSize() {
        dao::sqlite::Statement s(doc.Db().Connection().Handle(), "PRAGMA cache_size");
        s.Step();
        return s.Int(0);
    }
};

TEST_F(AuditTrail, NewestFirstByTimeThenLockThenLatestLogged) {
    Add(2, 7, 100);
    Add(1, 5, 100);
    Add(1, 6, 100);
    Add(1, 4, std::nullopt);
    Add(3, 1, 200);
    Add(2, 8, 50);
    EXPECT_EQ(Read(doc.Db(), {}),
              (std::vector<Key>{{3, 1}, {1, 6}, {1, 5}, {2, 7}, {2, 8}, {1, 4}}));
}

TEST_F(AuditTrail, EachClockSetBackStartsARun) {
    Add(1, 1, 100);
    Add(1, 2, 200);
    Add(1, 3, 50);  // set back
    Add(1, 4, 60);
    Add(1, 5, std::nullopt);
    Add(1, 6, 70);
    Add(2, 1, 10);
    auto runs = FindAuditRuns(doc.Db(), "1", 10);
    ASSERT_TRUE(runs);
    std::vector<std::tuple<std::optional<int>, qint64, qint64>> found;
    for (const AuditRun& r : *runs) found.emplace_back(r.lockKey, r.firstKey, r.lastKey);
    std::sort(found.begin(), found.end());
    // A missing moment counts as the oldest: it ends the run of keys 6 and 5.
    EXPECT_EQ(found, (std::vector<std::tuple<std::optional<int>, qint64, qint64>>{
                         {1, 2, 1}, {1, 4, 3}, {1, 6, 5}, {2, 1, 1}}));
    EXPECT_FALSE(FindAuditRuns(doc.Db(), "1", 3));
    EXPECT_EQ(Read(doc.Db(), {}), SortedByEngine(doc.Db(), {}));
}

TEST_F(AuditTrail, MergedRunsListAsTheEngineSortsThem) {
    AddIrregularTrail();
    const std::vector<AuditQuery> queries = {
        {},
        Query([](AuditQuery& q) { q.lock = 2; }),
        Query([](AuditQuery& q) { q.user = 3; }),
        Query([](AuditQuery& q) { q.event = 4; }),
        Query([](AuditQuery& q) {
            q.since = 1'000'000 - 2 * 3600;
            q.until = 1'000'000 + 1800;
        }),
        Query([](AuditQuery& q) {
            q.lock = 1;
            q.user = 2;
            q.event = 3;
            q.since = 990'000;
        }),
    };
    for (const AuditQuery& q : queries) {
        const std::vector<Key> expected = SortedByEngine(doc.Db(), q);
        EXPECT_FALSE(expected.empty()) << AuditCondition(q);
        AuditTrailReader reader(doc.Db(), q);
        EXPECT_TRUE(reader.Merging());
        EXPECT_EQ(Read(doc.Db(), q), expected) << AuditCondition(q);
    }
    EXPECT_EQ(Read(doc.Db(), {}).size(), 1200u);
    // Each lock, whatever the order its events are stored in, has runs to merge.
    std::map<int, std::size_t> runsPerLock;
    const auto runs = FindAuditRuns(doc.Db(), "1", AuditTrailReader::kMaxRuns);
    ASSERT_TRUE(runs);
    for (const AuditRun& r : *runs) ++runsPerLock[*r.lockKey];
    ASSERT_EQ(runsPerLock.size(), 3u);
    for (const auto& [lock, count] : runsPerLock) EXPECT_GT(count, 5u) << lock;
}

// More runs than a reader keeps open: the engine sorts, with the same result.
TEST_F(AuditTrail, TooManyRunsAreLeftToTheEnginesSort) {
    AddIrregularTrail();
    AuditTrailReader reader(doc.Db(), {}, 5);
    EXPECT_FALSE(reader.Merging());
    EXPECT_EQ(Read(doc.Db(), {}, 5), SortedByEngine(doc.Db(), {}));
}

TEST_F(AuditTrail, EventsComeWithEveryStoredValue) {
    doc.Db().ExecuteSql(
        "INSERT INTO \"Audit Data\" (LockKey, AuditKey, UserKey, Event, TimeStamp, AccessLevel, "
        "UserGroups) VALUES (9, 3, 77, 5, 1234, 6, 129)");
    AuditTrailReader reader(doc.Db(), {});
    AuditEvent e;
    ASSERT_TRUE(reader.Next(e));
    EXPECT_EQ(e.lockKey, 9);
    EXPECT_EQ(e.auditKey, 3);
    EXPECT_EQ(e.time, 1234);
    EXPECT_EQ(e.userKey, 77);
    EXPECT_EQ(e.event, 5);
    EXPECT_EQ(e.accessLevel, 6);
    EXPECT_EQ(e.userGroups, 129);
    EXPECT_FALSE(reader.Next(e));
}

TEST_F(AuditTrail, TheConnectionsPageCacheComesBackAfterReading) {
    const qint64 before = CacheSize();
    {
        AuditTrailReader reader(doc.Db(), {});
        EXPECT_NE(CacheSize(), before);
    }
    EXPECT_EQ(CacheSize(), before);
}

TEST_F(AuditTrail, AnEmptyTrailHasNoEvents) {
    AuditEvent e;
    EXPECT_FALSE(AuditTrailReader(doc.Db(), {}).Next(e));
    Add(1, 1, 100);
    EXPECT_FALSE(AuditTrailReader(doc.Db(), Query([](AuditQuery& q) { q.lock = 2; })).Next(e));
}

}  // namespace
}  // namespace tandrel::testing
