#include "desktop/data/facility_texts.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

qint64 IntOf(dao::Database& db, const std::string& sql) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    return s.Step() ? s.Int(0) : -1;
}

// Three locks that a device already served; users 2 to 5 enrolled in them
// in every state, user 3 twice in lock 1 and user 4 with no counter yet.
class ForceRefresh : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        dao::Database& db = doc.Db();
        for (int lock = 1; lock <= 3; ++lock) {
            db.ExecuteSql(
                "INSERT INTO Locks (\"Lock Key\", Name, \"Data Downloaded Flag\", \"Pending Action "
                "Counter\", \"Downloaded Open Delay Seconds\", \"Downloaded Facility Rev\", "
                "\"Downloaded UG Table Rev\", \"Downloaded TS Rev\", \"Rebuild User List\", "
                "\"Record State\") VALUES (" +
                std::to_string(lock) + ", 'Lock', 1, 0, 3, 4, 5, 6, 0, 1)");
        }
        for (int user = 2; user <= 5; ++user) {
            db.ExecuteSql(
                "INSERT INTO Users (\"User Key\", \"Last Name\", \"Pending Action "
                "Counter\") VALUES (" +
                std::to_string(user) + ", 'U', " + (user == 4 ? "NULL" : "10") + ")");
        }
        Enrol(1, 0, 2, 1);
        Enrol(1, 1, 3, 1);
        Enrol(1, 2, 3, 1);
        Enrol(1, 3, 4, 1);
        Enrol(1, 4, 5, 2);
        Enrol(1, 5, 2, 4);
        Enrol(2, 0, 2, 1);
        Enrol(3, 0, 5, 3);
    }
    void Enrol(int lock, int slot, int user, int state) {
        doc.Db().ExecuteSql(
            "INSERT INTO \"Users to Locks\" (\"Lock Index\", \"Lock User Index\", \"User Index\", "
            "\"User Type\", \"Download User Rev Number\", \"Record State\") VALUES (" +
            std::to_string(lock) + ", " + std::to_string(slot) + ", " + std::to_string(user) +
            ", 0, 1, " + std::to_string(state) + ")");
    }
    qint64 Lock(int key, const char* column) {
        return IntOf(doc.Db(), std::string("SELECT \"") + column +
                                   "\" FROM Locks WHERE \"Lock Key\" = " + std::to_string(key));
    }
    qint64 PendingActions(int user) {
        return IntOf(doc.Db(),
                     "SELECT \"Pending Action Counter\" FROM Users WHERE \"User Key\" = " +
                         std::to_string(user));
    }
    qint64 EnrolmentState(int lock, int slot) {
        return IntOf(doc.Db(),
                     "SELECT \"Record State\" FROM \"Users to Locks\" WHERE \"Lock Index\" = " +
                         std::to_string(lock) +
                         " AND \"Lock User Index\" = " + std::to_string(slot));
    }
    bool Refreshed(int lock) {
        return Lock(lock, "Record State") == 2 && Lock(lock, "Pending Action Counter") == 2 &&
               Lock(lock, "Data Downloaded Flag") == 0 &&
               Lock(lock, "Downloaded Open Delay Seconds") == 0 &&
               Lock(lock, "Downloaded Facility Rev") == 0 &&
               Lock(lock, "Downloaded UG Table Rev") == 0 && Lock(lock, "Downloaded TS Rev") == 0 &&
               Lock(lock, "Rebuild User List") == 1;
    }
};

TEST_F(ForceRefresh, MarksTheLocksAndRaisesUsersOncePerCurrentEnrolment) {
    ASSERT_TRUE(doc.ForceRefresh({1, 3}));
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_TRUE(Refreshed(1));
    EXPECT_TRUE(Refreshed(3));
    EXPECT_FALSE(Refreshed(2));
    EXPECT_EQ(Lock(2, "Downloaded Facility Rev"), 4);

    // Current enrolments become pending updates; the others keep their state.
    EXPECT_EQ(EnrolmentState(1, 0), 3);
    EXPECT_EQ(EnrolmentState(1, 1), 3);
    EXPECT_EQ(EnrolmentState(1, 2), 3);
    EXPECT_EQ(EnrolmentState(1, 3), 3);
    EXPECT_EQ(EnrolmentState(1, 4), 2);
    EXPECT_EQ(EnrolmentState(1, 5), 4);
    EXPECT_EQ(EnrolmentState(2, 0), 1);
    EXPECT_EQ(EnrolmentState(3, 0), 3);

    EXPECT_EQ(PendingActions(2), 11);  // its rows in lock 2 and the removal do not count
    EXPECT_EQ(PendingActions(3), 12);  // two slots in lock 1
    EXPECT_EQ(PendingActions(4), 1);   // no counter yet counts from 0
    EXPECT_EQ(PendingActions(5), 10);  // pending enrolment and pending update only
}

TEST_F(ForceRefresh, RefreshingAgainRaisesNothingMore) {
    ASSERT_TRUE(doc.ForceRefresh({1}));
    ASSERT_TRUE(doc.ForceRefresh({1}));
    EXPECT_EQ(PendingActions(3), 12);
}

TEST_F(ForceRefresh, AllLockKeysInKeyOrder) {
    EXPECT_EQ(doc.AllLockKeys(), (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(doc.ForceRefresh(doc.AllLockKeys()));
    EXPECT_TRUE(Refreshed(2));
}

// One transaction per lock: the locks before the missing one stay refreshed.
TEST_F(ForceRefresh, AMissingLockStopsAfterTheLocksBefore) {
    EXPECT_FALSE(doc.ForceRefresh({2, 99, 3}));
    EXPECT_EQ(prompter.Shown(), QStringList{"Error retrieving lock record-- Can Not Continue"});
    EXPECT_TRUE(Refreshed(2));
    EXPECT_FALSE(Refreshed(3));
    EXPECT_EQ(PendingActions(2), 11);
}

// A current enrolment of a user the facility lost: that lock is left as it
// was, and the refresh stops there.
TEST_F(ForceRefresh, AMissingUserLeavesItsLockUntouched) {
    Enrol(3, 1, 77, 1);
    EXPECT_FALSE(doc.ForceRefresh({2, 3, 1}));
    EXPECT_EQ(prompter.Shown(), QStringList{"Error retrieving user record-- Can Not Continue"});
    EXPECT_TRUE(Refreshed(2));
    EXPECT_FALSE(Refreshed(3));
    EXPECT_EQ(Lock(3, "Downloaded TS Rev"), 6);
    EXPECT_EQ(EnrolmentState(3, 1), 1);
    EXPECT_FALSE(Refreshed(1));
    EXPECT_EQ(EnrolmentState(1, 0), 1);
    EXPECT_EQ(PendingActions(5), 10);
}

}  // namespace
}  // namespace tandrel::testing
