#include "tests/platform/dao/dao_fixture.h"

namespace dao::testing {
namespace {

// Where a recordset stands after a seek that runs out of rows under its
// first key value, and after a rolled-back edit of its current row.
class Position : public DaoTest {
  protected:
    void SetUp() override {
        db = NewDatabase();
        TableDef pairs;
        pairs.name = "Pairs";
        pairs.fields = {Field("A", FieldType::Long, 0, true), Field("B", FieldType::Long, 0, true),
                        Field("Note", FieldType::Text, 10, false, true)};
        pairs.indexes = {{"PrimaryKey", {{"A", false}, {"B", false}}, true, true}};
        db->CreateTable(pairs);
        auto rs = db->OpenTable("Pairs");
        for (auto [a, b] : std::vector<std::pair<int, int>>{{2, 3}, {1, 5}, {3, 2}, {2, 1}}) {
            rs->AddNew();
            rs->SetValue("A", a);
            rs->SetValue("B", b);
            rs->SetValue("Note", QString("%1-%2").arg(a).arg(b));
            rs->Update();
        }
    }
    static QString At(Recordset& rs) { return rs.Value("Note").toString(); }
    std::unique_ptr<Database> db;
};

TEST_F(Position, SeekPastTheLastSecondKeyLandsOnTheNextFirstKeysFirstRow) {
    auto rs = db->OpenTable("Pairs");
    rs->SetIndex("PrimaryKey");
    ASSERT_TRUE(rs->Seek(">=", {1, 7}));
    EXPECT_EQ(At(*rs), "2-1");
    ASSERT_TRUE(rs->Seek(">", {1, 5}));
    EXPECT_EQ(At(*rs), "2-1");
    ASSERT_TRUE(rs->Seek(">=", {2, 4}));
    EXPECT_EQ(At(*rs), "3-2");
    // Going down, the same runs out to the previous first key's last row.
    ASSERT_TRUE(rs->Seek("<=", {2, 0}));
    EXPECT_EQ(At(*rs), "1-5");
    ASSERT_TRUE(rs->Seek("<", {3, 2}));
    EXPECT_EQ(At(*rs), "2-3");
    EXPECT_FALSE(rs->Seek(">=", {3, 3}));
    EXPECT_TRUE(rs->NoMatch());
}

TEST_F(Position, RolledBackEditLeavesTheCurrentRowAsStoredAndWhereItWas) {
    // The key field is edited too: after the rollback the walk must go on
    // from the row's stored key, not the one written in the transaction.
    auto rs = db->OpenTable("Pairs");
    rs->SetIndex("PrimaryKey");
    ASSERT_TRUE(rs->Seek("=", {2, 1}));
    qint64 mark = rs->Bookmark();
    db->BeginTrans();
    rs->Edit();
    rs->SetValue("Note", "changed");
    rs->SetValue("A", 9);
    rs->Update();
    EXPECT_EQ(At(*rs), "changed");
    db->Rollback();
    EXPECT_EQ(At(*rs), "2-1");
    EXPECT_EQ(rs->Value("A").toInt(), 2);
    EXPECT_EQ(rs->Bookmark(), mark);
    rs->MoveNext();
    EXPECT_EQ(At(*rs), "2-3");
    rs->MovePrevious();
    rs->MovePrevious();
    EXPECT_EQ(At(*rs), "1-5");
}

TEST_F(Position, RolledBackEditOfADynasetRowReadsTheStoredValue) {
    auto rs = db->OpenDynaset("Pairs", {}, "A, B");
    rs->MoveNext();
    ASSERT_EQ(At(*rs), "2-1");
    qint64 mark = rs->Bookmark();
    db->BeginTrans();
    rs->Edit();
    rs->SetValue("Note", "changed");
    rs->Update();
    db->Rollback();
    EXPECT_EQ(At(*rs), "2-1");
    EXPECT_EQ(rs->Bookmark(), mark);
    rs->MoveNext();
    EXPECT_EQ(At(*rs), "2-3");
}

}  // namespace
}  // namespace dao::testing
