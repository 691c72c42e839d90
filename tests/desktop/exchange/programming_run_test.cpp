#include "desktop/exchange/programming_texts.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {
namespace {

using Codes = std::vector<int>;
namespace texts = programming_texts;

class ProgrammingRun : public ProgrammingTest {};

TEST_F(ProgrammingRun, CurrentLockGetsOnlyItsUserListChanges) {
    const int lock = AddLock(db(), 1, 2);
    const int added = AddUser(db(), "1234", "5678");
    const int current = AddUser(db(), "2345", "");
    const int leaving = AddUser(db(), "3456", "");
    Enrol(db(), lock, added, 2);
    Enrol(db(), lock, current, 1);
    Enrol(db(), lock, leaving, 4);

    ASSERT_EQ(Run({lock}), 0);
    EXPECT_EQ(store.CodesOf(lock), (Codes{0x31, 0x30}));
    const auto records = store.Of(lock);
    EXPECT_EQ(records[0].key, static_cast<std::uint32_t>(lock) << 16);
    EXPECT_EQ(records[1].key, (static_cast<std::uint32_t>(lock) << 16) + 1);
    EXPECT_EQ(records[1].payload, (Bytes{0, Byte(leaving), 0, Byte(leaving)}));
    // Facility-wide columns untouched; the enrolment carries the pending mark.
    EXPECT_EQ(LockValue(lock, "Downloaded Facility Rev"), 0);
    EXPECT_EQ(EnrolmentValue(lock, added, "Download User Rev Number"), std::int16_t(0x8001));
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 1);
    EXPECT_TRUE(store.newLocks.empty());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kRunComplete});
}

TEST_F(ProgrammingRun, AWantedAuditTrailIsRequestedLast) {
    const int lock = AddLock(db(), 1, 2);
    SetLock(lock, "\"Audit Get All\" = 1");
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), lock, user, 2);
    ASSERT_EQ(Run({lock}), 0);
    EXPECT_EQ(store.CodesOf(lock), (Codes{0x31, 0x72}));
    EXPECT_EQ(store.Of(lock)[1].payload, Bytes{0});
}

TEST_F(ProgrammingRun, NewLockGetsEveryKindInOrder) {
    const int lock = AddLock(db(), 2, 2);
    const int schedule = AddSchedule({LevelAt(0, 8, 0, 1)});
    SetLock(lock, QStringLiteral("\"TS Link\" = %1, \"Open Delay Seconds\" = 5").arg(schedule));
    Sql(db(), QStringLiteral("INSERT INTO \"Audit Data\" (LockKey, AuditKey) VALUES (%1, 40), "
                             "(%1, 41), (%2, 99)")
                  .arg(lock)
                  .arg(lock + 1));
    const int user = AddUser(db(), "12345", "9876");
    Enrol(db(), lock, user, 2);

    ASSERT_EQ(Run({lock}), 0);
    Codes expected{0x20, 0x21, 0x74, 0x30};
    expected.insert(expected.end(), 8, 0x60);
    expected.insert(expected.end(), {0x40, 0x40, 0x50, 0x27, 0x31});
    EXPECT_EQ(store.CodesOf(lock), expected);
    const auto records = store.Of(lock);
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i].key & 0xFFFF, i);
    EXPECT_EQ(records[1].payload, (Bytes{Byte(lock >> 8), Byte(lock)}));
    EXPECT_EQ(records[2].payload, (Bytes{0, 0, 0, 42}));
    EXPECT_EQ(records[3].payload, (Bytes{0x00, 0x00, 0x07, 0xCF}));  // slots 0 to 1999
    EXPECT_EQ(records[15].payload, (Bytes{5}));

    EXPECT_EQ(LockValue(lock, "Downloaded Facility Rev"), std::int16_t(0x8005));
    EXPECT_EQ(LockValue(lock, "Downloaded UG Table Rev"), std::int16_t(0x8007));
    EXPECT_EQ(LockValue(lock, "Downloaded TS Rev"), std::int16_t(0x8003));
    EXPECT_EQ(LockValue(lock, "Downloaded Open Delay Seconds"), std::int16_t(0x8005));
    EXPECT_EQ(store.newLocks, std::vector<int>{lock});
    EXPECT_TRUE(progress.texts.contains(texts::kSettingAddress));
    EXPECT_TRUE(progress.texts.contains(texts::kDownloadingSchedule));
}

TEST_F(ProgrammingRun, UndeliveredProgrammingIsReplacedNotDoubled) {
    const int lock = AddLock(db(), 3, 2);
    const int other = AddLock(db(), 1, 2);
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), other, user, 2);
    ASSERT_EQ(Run({lock, other}), 0);
    const auto first = store.CodesOf(lock);
    ASSERT_FALSE(first.empty());

    // Nothing came back: the marks hold, so the next run queues it all again
    // after clearing the lock's earlier records, and leaves other locks' alone.
    ASSERT_EQ(Run({lock}), 0);
    EXPECT_EQ(store.CodesOf(lock), first);
    EXPECT_EQ(store.CodesOf(other), Codes{0x31});
}

TEST_F(ProgrammingRun, FailedQueueLeavesTheLockAsItWas) {
    const int lock = AddLock(db(), 3, 2);
    const QString before = Snapshot(db());
    store.failAppendAt = 2;
    EXPECT_EQ(Run({lock}), 112);
    EXPECT_EQ(Snapshot(db()), before);
    EXPECT_EQ(Run({lock + 50}), kErrRecordNotFound);
}

class ScheduleDownload : public ProgrammingTest {
  protected:
    // Programs a lock that only lacks its schedule.
    int Program(int schedule, int capacity, int holidayCapacity = 32) {
        lock = AddLock(db(), 3, 2);
        SetLock(lock, QStringLiteral("\"TS Link\" = %1, \"Schedule Capacity\" = %2, \"Holiday "
                                     "List Capacity\" = %3, \"Downloaded Facility Rev\" = 5, "
                                     "\"Downloaded UG Table Rev\" = 7, \"Downloaded Open Delay "
                                     "Seconds\" = 3, \"Rebuild User List\" = 0")
                          .arg(schedule)
                          .arg(capacity)
                          .arg(holidayCapacity));
        return Run({lock});
    }
    int lock = 0;
};

TEST_F(ScheduleDownload, EmptyScheduleSendsOnlyTheEndEntry) {
    ASSERT_EQ(Program(AddSchedule({}), 144), 0);
    const auto records = store.Of(lock);
    ASSERT_EQ(store.CodesOf(lock), (Codes{0x40, 0x50}));
    EXPECT_EQ(records[0].payload, (Bytes{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(records[1].payload, (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ScheduleDownload, ExactCapacityHasNoEndRecords) {
    const int schedule = AddSchedule({LevelAt(0, 8, 0, 1), LevelAt(0, 17, 0, 2)});
    const QDateTime day(QDate(2026, 12, 25), QTime(0, 0));
    AddHoliday(schedule, day, day.addDays(1));
    ASSERT_EQ(Program(schedule, 2, 1), 0);
    EXPECT_EQ(store.CodesOf(lock), (Codes{0x40, 0x40, 0x50}));
    // Entries go out in key order with their indexes: 08:00 first.
    EXPECT_EQ(store.Of(lock)[0].payload[0], 0);
    EXPECT_EQ(store.Of(lock)[1].payload[0], 1);
}

TEST_F(ScheduleDownload, OverCapacityStopsWithItsMessageAndNoRecords) {
    const int schedule = AddSchedule({LevelAt(0, 8, 0, 1), LevelAt(0, 17, 0, 2)});
    EXPECT_EQ(Program(schedule, 1), kErrShown);
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kScheduleTooLarge});
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(LockValue(lock, "Downloaded TS Rev"), 0);

    prompter.Clear();
    const QDateTime day(QDate(2026, 12, 25), QTime(0, 0));
    AddHoliday(schedule, day, day.addDays(1));
    AddHoliday(schedule, day.addDays(6), day.addDays(7));
    EXPECT_EQ(Program(schedule, 144, 1), kErrShown);
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kHolidaysTooMany});
    EXPECT_TRUE(store.Of(lock).empty());
}

TEST_F(ScheduleDownload, MissingScheduleIsACompileError) {
    EXPECT_EQ(Program(999, 144), kErrShown);
    ASSERT_EQ(prompter.Shown().size(), 2);
    EXPECT_EQ(prompter.Shown()[1], texts::kCompileFailed);
}

}  // namespace
}  // namespace tandrel::testing
