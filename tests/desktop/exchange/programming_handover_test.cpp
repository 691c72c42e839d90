// When a lock counts as handed to its device: only once its records are
// durable there, and only when it was given any.
#include "desktop/exchange/lock_payloads.h"
#include "desktop/exchange/programming_texts.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {
namespace {

class ProgrammingHandover : public ProgrammingTest {
  protected:
    int Handed() {
        return static_cast<int>(
            IntOf(db(), "SELECT count(*) FROM Locks WHERE \"Pending Action Counter\" = 1"));
    }
    int RunCounting(const std::vector<int>& locks) {
        LockProgrammer programmer(db(), store, prompter);
        const int error = programmer.Run(locks, progress);
        programmed = programmer.LocksProgrammed();
        return error;
    }
    int programmed = -1;
};

TEST_F(ProgrammingHandover, RecordsAreFlushedBeforeAnyLockCountsAsHanded) {
    const int lock = AddLock(db(), 2, 2);
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), lock, user, 2);
    ASSERT_EQ(RunCounting({lock}), 0);
    EXPECT_GE(store.flushes, 1);
    EXPECT_EQ(store.unflushed, 0);
    EXPECT_EQ(programmed, 1);
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 1);

    // A device that cannot make them durable: the lock stays waiting, its
    // revisions and its users unmarked.
    const int second = AddLock(db(), 2, 2);
    Enrol(db(), second, user, 2);
    store.flushError = 112;
    prompter.Clear();
    const QString before = Snapshot(db());
    EXPECT_EQ(RunCounting({second}), 112);
    EXPECT_EQ(Snapshot(db()), before);
    EXPECT_EQ(programmed, 0);
    EXPECT_FALSE(prompter.Shown().contains(programming_texts::kRunComplete));
}

TEST_F(ProgrammingHandover, LocksDoneBeforeAFailureKeepTheirProgramming) {
    const int first = AddLock(db(), 1, 2);
    const int second = AddLock(db(), 1, 2);
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), first, user, 2);
    Enrol(db(), second, user, 2);
    store.failAppendAt = 1;  // the second lock's user
    EXPECT_EQ(RunCounting({first, second}), 112);
    EXPECT_EQ(programmed, 1);
    EXPECT_EQ(store.unflushed, 0);
    EXPECT_EQ(LockValue(first, "Pending Action Counter"), 1);
    EXPECT_EQ(EnrolmentValue(first, user, "Download User Rev Number"), std::int16_t(0x8001));
    EXPECT_EQ(LockValue(second, "Pending Action Counter"), 2);
    EXPECT_EQ(EnrolmentValue(second, user, "Download User Rev Number"), 0);
}

// A lock listed for programming whose change went away again (a user
// enrolled and taken out before any exchange) holds everything already.
TEST_F(ProgrammingHandover, ALockGivenNothingIsNotHanded) {
    const int quiet = AddLock(db(), 1, 2);
    const int flagged = AddLock(db(), 1, 1, 1);
    const int busy = AddLock(db(), 1, 2);
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), busy, user, 3);
    ASSERT_EQ(RunCounting({quiet, flagged, busy}), 0);
    EXPECT_EQ(programmed, 1);
    EXPECT_TRUE(store.Of(quiet).empty());
    EXPECT_EQ(LockValue(quiet, "Pending Action Counter"), 0);
    EXPECT_EQ(LockValue(flagged, "Pending Action Counter"), 0);
    EXPECT_EQ(LockValue(flagged, "Data Downloaded Flag"), 0);
    EXPECT_EQ(LockValue(busy, "Pending Action Counter"), 1);
    EXPECT_EQ(Handed(), 1);
}

// A user enrolled in many locks is read once, yet each lock gets the
// payload of its own slot and of the type its enrolment gives the user.
TEST_F(ProgrammingHandover, EachLockGetsItsOwnSlotAndType) {
    const int a = AddLock(db(), 1, 2), b = AddLock(db(), 1, 2);
    const int user = AddUser(db(), "12345", "678", 2);
    const int other = AddUser(db(), "999", "");
    Enrol(db(), a, user, 2);
    Enrol(db(), b, other, 2);
    Enrol(db(), b, user, 2);
    Sql(db(), QStringLiteral("UPDATE \"Users to Locks\" SET \"Lock User Index\" = 7, \"User "
                             "Type\" = 0x45 WHERE \"Lock Index\" = %1 AND \"User Index\" = %2")
                  .arg(b)
                  .arg(user));
    ASSERT_EQ(Run({a, b}), 0);
    LockUserData data;
    data.idCode = "12345";
    data.currentPin = "678";
    data.homeGroup = 2;
    data.slot = user;
    data.userTypeByte = 32;
    EXPECT_EQ(store.Of(a)[0].payload, WriteUserPayload(data));
    data.slot = 7;
    data.userTypeByte = 0x45;
    const auto records = store.Of(b);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].payload, WriteUserPayload(data));
}

// A run over many of the facility's locks reads their enrolments in one
// pass, a run over a few looks each lock's up: both queue the same.
TEST_F(ProgrammingHandover, FewLocksOrManyQueueTheSame) {
    std::vector<int> locks;
    std::vector<int> users;
    for (int u = 0; u < 3; ++u) users.push_back(AddUser(db(), QString::number(4000 + u), "12"));
    for (int l = 0; l < 8; ++l) {
        locks.push_back(AddLock(db(), 1, 2));
        for (int u = 0; u < 3; ++u) Enrol(db(), locks.back(), users[u], u == 1 ? 4 : 2);
    }
    const int lock = locks[3];
    const QString before = Snapshot(db());
    ASSERT_EQ(Run({lock}), 0);
    const std::vector<ProgramRecord> alone = store.Of(lock);
    ASSERT_EQ(alone.size(), 3u);
    const QString marksAlone =
        TextOf(db(), QStringLiteral("SELECT group_concat(\"Download User Rev Number\") FROM "
                                    "\"Users to Locks\" WHERE \"Lock Index\" = %1")
                         .arg(lock));

    store.records.clear();
    Sql(db(), "UPDATE Locks SET \"Pending Action Counter\" = 2");
    Sql(db(), "UPDATE \"Users to Locks\" SET \"Download User Rev Number\" = 0");
    ASSERT_EQ(Run(locks), 0);
    const std::vector<ProgramRecord> together = store.Of(lock);
    ASSERT_EQ(together.size(), alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(together[i].key, alone[i].key);
        EXPECT_EQ(together[i].command, alone[i].command);
        EXPECT_EQ(together[i].payload, alone[i].payload);
    }
    EXPECT_EQ(TextOf(db(), QStringLiteral("SELECT group_concat(\"Download User Rev Number\") FROM "
                                          "\"Users to Locks\" WHERE \"Lock Index\" = %1")
                               .arg(lock)),
              marksAlone);
    EXPECT_NE(Snapshot(db()), before);
}

}  // namespace
}  // namespace tandrel::testing
