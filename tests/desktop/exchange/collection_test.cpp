#include "desktop/exchange/programming_texts.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {
namespace {

class Collection : public ProgrammingTest {
  protected:
    // Delivers the records whose codes are listed; all when none are.
    void Deliver(const std::vector<int>& codes = {}) {
        for (auto& [key, record] : store.records) {
            if (codes.empty() ||
                std::find(codes.begin(), codes.end(), record.Code()) != codes.end())
                record.command |= 0x8000;
        }
    }
};

TEST_F(Collection, EverythingDeliveredMakesTheLockCurrent) {
    const int lock = AddLock(db(), 2, 2);
    const int schedule = AddSchedule({LevelAt(2, 9, 30, 3)});
    SetLock(lock, QStringLiteral("\"TS Link\" = %1, \"Audit Get All\" = 1").arg(schedule));
    const int user = AddUser(db(), "1234", "4321");
    Enrol(db(), lock, user, 2);
    ASSERT_EQ(Run({lock}), 0);
    Deliver();

    ASSERT_EQ(Collect(), 0);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(LockValue(lock, "Record State"), 1);
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 0);
    EXPECT_EQ(LockValue(lock, "Downloaded Facility Rev"), 5);
    EXPECT_EQ(LockValue(lock, "Downloaded UG Table Rev"), 7);
    EXPECT_EQ(LockValue(lock, "Downloaded TS Rev"), 3);
    EXPECT_EQ(LockValue(lock, "Downloaded Open Delay Seconds"), 3);
    EXPECT_EQ(LockValue(lock, "Rebuild User List"), 0);
    EXPECT_EQ(LockValue(lock, "Audit Get All"), 0);
    EXPECT_EQ(EnrolmentValue(lock, user, "Record State"), 1);
    EXPECT_EQ(EnrolmentValue(lock, user, "Download User Rev Number"), 1);
    EXPECT_EQ(UserValue(db(), user, "Pending Action Counter"), 0);
    EXPECT_TRUE(progress.texts.contains(programming_texts::kCollecting));
}

TEST_F(Collection, UndeliveredRecordsStayAndKeepTheirMarks) {
    const int lock = AddLock(db(), 3, 2);
    ASSERT_EQ(Run({lock}), 0);
    Deliver({0x20, 0x27, 0x30});  // the PIN table did not arrive

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(store.records.size(), 8u);
    EXPECT_EQ(LockValue(lock, "Downloaded Facility Rev"), 5);
    EXPECT_EQ(LockValue(lock, "Downloaded UG Table Rev"), std::int16_t(0x8007));
    EXPECT_EQ(LockValue(lock, "Record State"), 3);
    // Still waiting on the device: handed over, not current.
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 1);

    // A lock the device never visited stays handed over too; once all has
    // arrived it is current.
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 1);
    Deliver();
    ASSERT_EQ(Collect(), 0);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 0);
}

// A schedule or PIN table is delivered only as a whole: its first record
// left on the device keeps the revision pending, whatever came after it.
TEST_F(Collection, AFirstScheduleOrPinTableRecordLeftBehindKeepsItsRevisionPending) {
    const int schedule = AddSchedule({LevelAt(2, 9, 30, 3), LevelAt(4, 17, 0, 1)});
    const int scheduleLeft = AddLock(db(), 3, 2);
    const int pinTableLeft = AddLock(db(), 3, 2);
    for (int lock : {scheduleLeft, pinTableLeft})
        SetLock(lock, QStringLiteral("\"TS Link\" = %1").arg(schedule));
    ASSERT_EQ(Run({scheduleLeft, pinTableLeft}), 0);
    Deliver();
    for (auto [lock, code] : {std::pair{scheduleLeft, 0x40}, std::pair{pinTableLeft, 0x60}}) {
        std::vector<ProgramRecord*> ofKind;
        for (auto& [key, record] : store.records) {
            if (record.LockAddress() == lock && record.Code() == code) ofKind.push_back(&record);
        }
        ASSERT_GE(ofKind.size(), 2u) << code;
        ofKind.front()->command &= 0x7FFF;
    }

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(scheduleLeft, "Downloaded TS Rev"), std::int16_t(0x8003));
    EXPECT_EQ(LockValue(scheduleLeft, "Downloaded UG Table Rev"), 7);
    EXPECT_EQ(LockValue(pinTableLeft, "Downloaded TS Rev"), 3);
    EXPECT_EQ(LockValue(pinTableLeft, "Downloaded UG Table Rev"), std::int16_t(0x8007));
}

TEST_F(Collection, DeliveredRemovalDeletesTheEnrolmentAndADeletedUser) {
    const int lock = AddLock(db(), 1, 2);
    const int other = AddLock(db(), 1, 2);
    const int gone = AddUser(db(), "1234", "", 0, 4);
    const int stays = AddUser(db(), "2345", "", 0, 4);
    Enrol(db(), lock, gone, 4);
    Enrol(db(), lock, stays, 4);
    Enrol(db(), other, stays, 4);
    SetLock(lock, "\"Enrolled User Counter\" = 2");
    ASSERT_EQ(Run({lock}), 0);
    Deliver();

    ProgramCollector collector(db(), store, prompter);
    ASSERT_EQ(collector.Collect(progress), 0);
    EXPECT_TRUE(collector.UsersRemoved());
    EXPECT_EQ(IntOf(db(), QStringLiteral("SELECT COUNT(*) FROM \"Users to Locks\" WHERE \"Lock "
                                         "Index\" = %1")
                              .arg(lock)),
              0);
    EXPECT_EQ(LockValue(lock, "Enrolled User Counter"), 0);
    EXPECT_EQ(UserValue(db(), gone, "Record State"), 0);
    EXPECT_EQ(UserValue(db(), gone, "Pending Action Counter"), 0);
    // Still enrolled elsewhere: stays deleted-pending with one removal left.
    EXPECT_EQ(UserValue(db(), stays, "Record State"), 4);
    EXPECT_EQ(UserValue(db(), stays, "Enrolled Lock Counter"), 1);
    EXPECT_EQ(UserValue(db(), stays, "Pending Action Counter"), 1);
}

TEST_F(Collection, FullClearEndsTheRebuildOnlyForTheWholeList) {
    const int lock = AddLock(db(), 3, 2);
    SetLock(lock, "\"User Capacity\" = 100");
    const std::uint32_t base = static_cast<std::uint32_t>(lock) << 16;
    store.records.emplace(base, ProgramRecord{base, 0x8030, {0, 1, 0, 99}});
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(lock, "Rebuild User List"), 1);
    store.records.emplace(base, ProgramRecord{base, 0x8030, {0, 0, 0, 99}});
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(lock, "Rebuild User List"), 0);
}

TEST_F(Collection, UserWriteSettlesOnlyTheRevisionAndTypeThatWereSent) {
    const int lock = AddLock(db(), 1, 2);
    const int changed = AddUser(db(), "1234", "");
    const int retyped = AddUser(db(), "2345", "");
    Enrol(db(), lock, changed, 3);
    Enrol(db(), lock, retyped, 3);
    ASSERT_EQ(Run({lock}), 0);
    Deliver();
    // Edited again while the device was out: a later revision, another type.
    Sql(db(), QStringLiteral("UPDATE Users SET \"Revision Counter\" = 2 WHERE \"User Key\" = %1")
                  .arg(changed));
    Sql(db(), QStringLiteral("UPDATE \"Users to Locks\" SET \"User Type\" = 0 WHERE \"User "
                             "Index\" = %1")
                  .arg(retyped));

    ASSERT_EQ(Collect(), 0);
    for (int user : {changed, retyped}) {
        EXPECT_EQ(EnrolmentValue(lock, user, "Download User Rev Number"), 1);
        EXPECT_EQ(EnrolmentValue(lock, user, "Record State"), 3);
        EXPECT_EQ(UserValue(db(), user, "Pending Action Counter"), 1);
    }
}

TEST_F(Collection, RecordsOfRemovedLocksAreDropped) {
    const int lock = AddLock(db(), 3, 2);
    ASSERT_EQ(Run({lock}), 0);
    const QString before = Snapshot(db());
    Sql(db(), QStringLiteral("DELETE FROM Locks WHERE \"Lock Key\" = %1").arg(lock));
    const QString afterDelete = Snapshot(db());
    ASSERT_EQ(Collect(), 0);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(Snapshot(db()), afterDelete);
    EXPECT_NE(before, afterDelete);
}

TEST_F(Collection, MalformedDeliveredRecordsAreDroppedWithoutEffect) {
    const int lock = AddLock(db(), 1, 0);
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), lock, user, 4);
    const std::uint32_t base = static_cast<std::uint32_t>(lock) << 16;
    store.records.emplace(base, ProgramRecord{base, 0x8030, {0, 0}});          // no last slot
    store.records.emplace(base + 1, ProgramRecord{base + 1, 0x8031, {0, 2}});  // no user
    store.records.emplace(base + 2, ProgramRecord{base + 2, 0xFFFF, Bytes(80, 0xFF)});
    const QString before = Snapshot(db());
    ASSERT_EQ(Collect(), 0);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(EnrolmentState(db(), lock, user), 4);
    EXPECT_EQ(Snapshot(db()), before);
}

TEST_F(Collection, DatabaseErrorIsShownAndRolledBack) {
    const int lock = AddLock(db(), 3, 2);
    ASSERT_EQ(Run({lock}), 0);
    Deliver();
    const QString before = Snapshot(db());
    const std::size_t records = store.records.size();
    FailUpdatesOf(db(), "Locks", "NEW.\"Record State\" = 1");
    EXPECT_NE(Collect(), 0);
    EXPECT_EQ(prompter.Shown().size(), 2);  // the run's completion, then the error
    EXPECT_EQ(Snapshot(db()), before);
    // What was not booked stays on the device, for the next collection.
    EXPECT_EQ(store.records.size(), records);
}

// However the locks are batched, each confirmation is booked once: a user
// settled in three locks has three pending changes fewer.
TEST_F(Collection, BatchesBookEveryLockOnce) {
    for (int perCommit : {1, ProgramCollector::kRecordsPerCommit}) {
        const int user = AddUser(db(), "1234", "");
        std::vector<int> locks;
        for (int i = 0; i < 3; ++i) {
            locks.push_back(AddLock(db(), 1, 2));
            Enrol(db(), locks.back(), user, 2);
        }
        ASSERT_EQ(UserValue(db(), user, "Pending Action Counter"), 3);
        ASSERT_EQ(Run(locks), 0);
        Deliver();
        ProgramCollector collector(db(), store, prompter);
        collector.SetRecordsPerCommit(perCommit);
        ASSERT_EQ(collector.Collect(progress), 0);
        EXPECT_TRUE(store.records.empty());
        EXPECT_EQ(UserValue(db(), user, "Pending Action Counter"), 0) << perCommit;
        for (int lock : locks) {
            EXPECT_EQ(EnrolmentValue(lock, user, "Record State"), 1);
            EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 0);
        }
    }
}

// A device holding little of a big facility's programming has each lock's
// enrolments looked up rather than the whole table read: the bookings are
// the same.
TEST_F(Collection, FewRecordsOfABigFacilityAreBookedTheSame) {
    const int lock = AddLock(db(), 1, 2);
    const int busy = AddLock(db(), 1, 0);
    const int settles = AddUser(db(), "1234", "");
    const int leaves = AddUser(db(), "2345", "", 0, 4);
    Enrol(db(), lock, settles, 2);
    Enrol(db(), lock, leaves, 4);
    for (int i = 0; i < 40; ++i) Enrol(db(), busy, AddUser(db(), QString::number(5000 + i), ""), 1);
    ASSERT_EQ(Run({lock}), 0);
    Deliver();
    ASSERT_EQ(Collect(), 0);
    EXPECT_TRUE(store.records.empty());
    EXPECT_EQ(EnrolmentValue(lock, settles, "Record State"), 1);
    EXPECT_EQ(EnrolmentValue(lock, settles, "Download User Rev Number"), 1);
    EXPECT_EQ(IntOf(db(), QStringLiteral("SELECT count(*) FROM \"Users to Locks\" WHERE \"User "
                                         "Index\" = %1")
                              .arg(leaves)),
              0);
    EXPECT_EQ(UserValue(db(), leaves, "Record State"), 0);
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 0);
}

}  // namespace
}  // namespace tandrel::testing
