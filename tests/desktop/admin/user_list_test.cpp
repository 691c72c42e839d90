#include "desktop/admin/user_list.h"
#include "desktop/admin/lock_user_sheet.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

// Users of every ID type, one pending removal, one removed, one whose home
// group row is gone and one written before its counters and flags existed.
class UserListTest : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        Add(2, "Code", "1234", "NULL", "NULL", 0, 1);
        Add(3, "Mag", "1234", "1", "1", 1, 1);
        Add(4, "Prox", "1234", "1", "2", 2, 4);
        Add(5, "Gone", "1234", "0", "0", 0, 0);
        Add(6, "Other", "9999", "1", "NULL", 7, 1);
        Add(7, "Old", "1234", "0", "2", 3, 1);
        Sql(doc.Db(), "DELETE FROM \"User Groups\" WHERE \"Group Key\" = 7");
        Sql(doc.Db(),
            "UPDATE \"User Groups\" SET \"Group Name\" = 'Staff' WHERE \"Group Key\" = 2");
        Sql(doc.Db(), "UPDATE Users SET \"Home Group\" = NULL WHERE \"User Key\" = 7");
    }
    void Add(int key, const QString& last, const QString& id, const QString& cardMedia,
             const QString& cardMediaType, int homeGroup, int state) {
        Sql(doc.Db(),
            QStringLiteral("INSERT INTO Users (\"User Key\", \"Last Name\", \"First Name\", "
                           "\"Middle Initial\", \"Lock ID code\", \"Card Media\", "
                           "\"CardMediaType\", \"Home Group\", \"Record State\", Contact1) "
                           "VALUES (%1, '%2', 'Pat', '', '%3', %4, %5, %6, %7, 'c%1')")
                .arg(key)
                .arg(last, id, cardMedia, cardMediaType)
                .arg(homeGroup)
                .arg(state));
    }
    std::vector<int> KeysWithId(const QString& id, std::optional<int> idType = std::nullopt) {
        std::vector<int> keys;
        ForEachUserWithId(doc, id, idType,
                          [&keys](const UserListRow& r) { keys.push_back(r.key); });
        return keys;
    }
};

TEST_F(UserListTest, ListsEveryUserNotRemovedInKeyOrder) {
    const std::vector<UserListRow> rows = UserListRows(doc);
    std::vector<int> keys;
    for (const UserListRow& r : rows) keys.push_back(r.key);
    EXPECT_EQ(keys, (std::vector<int>{2, 3, 4, 6, 7}));

    EXPECT_EQ(rows[0].name, "Code, Pat");
    EXPECT_EQ(rows[0].idMedia, "Code");
    EXPECT_EQ(rows[0].id, "1234");
    EXPECT_EQ(rows[0].contact1, "c2");
    EXPECT_EQ(rows[1].idMedia, "Mag Card");
    EXPECT_EQ(rows[1].homeGroup, "2 - < Untitled >");
    EXPECT_EQ(rows[2].idMedia, "Prox Card");
    EXPECT_EQ(rows[2].homeGroup, "3 - Staff");
    EXPECT_TRUE(rows[2].deleted);
    EXPECT_FALSE(rows[0].deleted);
    EXPECT_EQ(rows[3].idMedia, "Mag Card");  // a card without a media type
    EXPECT_EQ(rows[3].homeGroup, "8 - ");    // its group row is gone
    EXPECT_EQ(rows[4].idMedia, "Code");      // a card type left from before
    EXPECT_EQ(rows[4].homeGroup, "1 - < Untitled >");
}

TEST_F(UserListTest, FindsListedUsersByTheirExactIdAndType) {
    EXPECT_EQ(KeysWithId("1234"), (std::vector<int>{2, 3, 4, 7}));
    EXPECT_EQ(KeysWithId("1234", kIdCode), (std::vector<int>{2, 7}));
    EXPECT_EQ(KeysWithId("1234", kIdMagCard), std::vector<int>{3});
    EXPECT_EQ(KeysWithId("1234", kIdProxCard), std::vector<int>{4});
    EXPECT_TRUE(KeysWithId("123").empty());
    EXPECT_TRUE(KeysWithId("12345").empty());
    EXPECT_TRUE(KeysWithId("9999", kIdCode).empty());
}

TEST_F(UserListTest, RowOfOneUserListedOrNot) {
    ASSERT_TRUE(UserListRowOf(doc, 5));
    EXPECT_EQ(UserListRowOf(doc, 5)->name, "Gone, Pat");
    EXPECT_EQ(UserListRowOf(doc, 4)->homeGroup, "3 - Staff");
    EXPECT_FALSE(UserListRowOf(doc, 99));
}

// The sink may use the facility while the list is being read.
TEST_F(UserListTest, ASinkMayUseTheFacility) {
    int rows = 0;
    ForEachUserListRow(doc, [&](const UserListRow& r) {
        EXPECT_EQ(UserListRowOf(doc, r.key)->name, r.name);
        CLockUsersRecordset users(doc.Db());
        users.SetCurrentIndex("PrimaryKey");
        EXPECT_TRUE(users.Seek("=", {r.key}));
        dao::Transaction transaction(doc.Db());
        transaction.Commit();
        ++rows;
    });
    EXPECT_EQ(rows, 5);
}

}  // namespace
}  // namespace tandrel::testing
