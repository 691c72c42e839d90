#include "tests/platform/dao/dao_fixture.h"

namespace dao::testing {
namespace {

class TableWalk : public DaoTest {
  protected:
    void SetUp() override {
        db = NewDatabase();
        db->CreateTable(EventsTable());
        auto rs = db->OpenTable("Events");
        // Locks 1..3 with sequence numbers 1..4 each, stored out of order.
        for (int seq : {2, 4, 1, 3}) {
            for (int lock : {3, 1, 2}) {
                rs->AddNew();
                rs->SetValue("Lock", lock);
                rs->SetValue("Seq", seq);
                rs->SetValue("Code", lock * 10 + seq);
                rs->Update();
            }
        }
    }
    static QList<int> Codes(TableRecordset& rs) {
        QList<int> codes;
        for (; !rs.IsEOF(); rs.MoveNext()) codes << rs.Value("Code").toInt();
        return codes;
    }
    std::unique_ptr<Database> db;
};

TEST_F(TableWalk, PrimaryKeyGivesEachLockNewestFirst) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    EXPECT_EQ(Codes(*rs), (QList<int>{14, 13, 12, 11, 24, 23, 22, 21, 34, 33, 32, 31}));
    rs->MoveLast();
    QList<int> backwards;
    for (; !rs->IsBOF(); rs->MovePrevious()) backwards << rs->Value("Code").toInt();
    EXPECT_EQ(backwards, (QList<int>{31, 32, 33, 34, 21, 22, 23, 24, 11, 12, 13, 14}));
}

TEST_F(TableWalk, SeekComparisonsFollowTheIndexOrder) {
    auto rs = db->OpenTable("Events");
    EXPECT_EQ(ErrorOf([&] { rs->Seek("=", {1}); }), kErrNoCurrentIndex);
    rs->SetIndex("PrimaryKey");
    EXPECT_TRUE(rs->Seek("=", {2, 3}));
    EXPECT_EQ(rs->Value("Code").toInt(), 23);
    // Partial key: the first row of lock 2 in index order, its newest.
    EXPECT_TRUE(rs->Seek("=", {2}));
    EXPECT_EQ(rs->Value("Code").toInt(), 24);
    // ">=" and ">" on the descending field move towards older events.
    EXPECT_TRUE(rs->Seek(">=", {2, 3}));
    EXPECT_EQ(rs->Value("Code").toInt(), 23);
    EXPECT_TRUE(rs->Seek(">", {2, 3}));
    EXPECT_EQ(rs->Value("Code").toInt(), 22);
    EXPECT_TRUE(rs->Seek(">", {2, 1}));
    EXPECT_EQ(rs->Value("Code").toInt(), 34);
    EXPECT_TRUE(rs->Seek(">", {2}));
    EXPECT_EQ(rs->Value("Code").toInt(), 34);
    EXPECT_TRUE(rs->Seek("<", {2}));
    EXPECT_EQ(rs->Value("Code").toInt(), 11);
    EXPECT_TRUE(rs->Seek("<=", {2, 3}));
    EXPECT_EQ(rs->Value("Code").toInt(), 23);
    EXPECT_FALSE(rs->Seek("=", {2, 9}));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(ErrorOf([&] { rs->Value("Code"); }), kErrRecordDeleted);
    EXPECT_FALSE(rs->Seek(">", {3, 1}));
    EXPECT_EQ(ErrorOf([&] { rs->Seek("~", {1}); }), kErrInvalidArgument);
}

TEST_F(TableWalk, FindByKeyTakesTheWholePrimaryKeyOnThePrimaryIndex) {
    auto rs = db->OpenTable("Events");
    EXPECT_TRUE(rs->FindByKey({2, 3}));
    EXPECT_EQ(rs->Value("Code").toInt(), 23);
    EXPECT_EQ(rs->Index(), "PrimaryKey");
    rs->MoveNext();  // the walk goes on in primary key order
    EXPECT_EQ(rs->Value("Code").toInt(), 22);
    rs->SetIndex("Lock");
    EXPECT_TRUE(rs->FindByKey({3, 4}));
    EXPECT_EQ(rs->Index(), "PrimaryKey");
    EXPECT_EQ(rs->Value("Code").toInt(), 34);
    EXPECT_FALSE(rs->FindByKey({3, 9}));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(ErrorOf([&] { rs->FindByKey({3}); }), kErrInvalidArgument);
    EXPECT_EQ(ErrorOf([&] { rs->FindByKey({3, 4, 5}); }), kErrInvalidArgument);

    TableDef unkeyed = EventsTable();
    unkeyed.name = "Unkeyed";
    unkeyed.indexes.erase(unkeyed.indexes.begin());
    db->CreateTable(unkeyed);
    EXPECT_EQ(ErrorOf([&] { db->OpenTable("Unkeyed")->FindByKey({1, 1}); }), kErrNoCurrentIndex);
}

TEST_F(TableWalk, DeletingWhileWalkingVisitsEveryOtherRowOnce) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    QList<int> visited;
    while (!rs->IsEOF()) {
        visited << rs->Value("Code").toInt();
        if (rs->Value("Seq").toInt() % 2 == 0) rs->Delete();
        rs->MoveNext();
    }
    EXPECT_EQ(visited.size(), 12);
    EXPECT_EQ(rs->RecordCount(), 6);
    rs->MoveFirst();
    EXPECT_EQ(Codes(*rs), (QList<int>{13, 11, 23, 21, 33, 31}));
}

TEST_F(TableWalk, EditingTheKeyMovesTheRowAndTheWalkGoesOnFromThere) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    ASSERT_TRUE(rs->Seek("=", {1, 4}));
    rs->Edit();
    rs->SetValue("Lock", 3);
    rs->SetValue("Seq", 9);
    rs->Update();
    EXPECT_EQ(rs->Value("Code").toInt(), 14);  // still the edited row
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 34);
    // Editing a field outside the key leaves the position alone.
    rs->MoveFirst();
    rs->Edit();
    rs->SetValue("Code", 99);
    rs->Update();
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 12);
}

TEST_F(TableWalk, BofEofAndMovesPastTheEnds) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    EXPECT_FALSE(rs->IsBOF());
    rs->MovePrevious();
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(ErrorOf([&] { rs->Value("Code"); }), kErrNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), kErrNoCurrentRecord);
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 14);
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), kErrNoCurrentRecord);

    db->CreateTable(PeopleTable());
    auto empty = db->OpenTable("People");
    EXPECT_TRUE(empty->IsBOF() && empty->IsEOF());
    EXPECT_EQ(empty->RecordCount(), 0);
}

TEST_F(TableWalk, BookmarksAndTheNewRow) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    rs->Seek("=", {2, 2});
    qint64 mark = rs->Bookmark();
    rs->AddNew();
    rs->SetValue("Lock", 0);
    rs->SetValue("Seq", 1);
    rs->SetValue("Code", 1);
    rs->Update();
    EXPECT_EQ(rs->Value("Code").toInt(), 22);  // AddNew leaves the current row alone
    rs->SetBookmark(rs->LastModified());
    EXPECT_EQ(rs->Value("Code").toInt(), 1);
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 14);
    rs->SetBookmark(mark);
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 21);
    rs->MovePrevious();
    rs->Delete();
    EXPECT_EQ(ErrorOf([&] { rs->SetBookmark(mark); }), kErrRecordDeleted);
}

TEST_F(TableWalk, EditBufferAndRollbackKeepTheRecordsetSound) {
    auto rs = db->OpenTable("Events");
    rs->SetIndex("PrimaryKey");
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Code", 1); }), kErrUpdateWithoutEdit);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), kErrUpdateWithoutEdit);
    db->BeginTrans();
    rs->Delete();
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Code").toInt(), 13);
    db->Rollback();
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Code").toInt(), 14);
    rs->Edit();
    rs->SetValue("Code", 77);
    rs->MoveNext();  // moving drops the edit
    rs->MovePrevious();
    EXPECT_EQ(rs->Value("Code").toInt(), 14);
}

TEST_F(TableWalk, NullKeysSortFirstAndCanBeWalkedAndSought) {
    db->CreateTable(PeopleTable());
    auto rs = db->OpenTable("People");
    for (QVariant level : {QVariant(3), QVariant(), QVariant(1), QVariant()}) {
        rs->AddNew();
        rs->SetValue("Name", QString("N%1").arg(rs->Value("Person Key").toInt()));
        rs->SetValue("Level", level);
        rs->Update();
    }
    rs->SetIndex("Level");
    QStringList names;
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->Value("Name").toString();
    EXPECT_EQ(names, (QStringList{"N2", "N4", "N3", "N1"}));
    EXPECT_TRUE(rs->Seek("=", {QVariant()}));
    EXPECT_EQ(rs->Value("Name").toString(), "N2");
    EXPECT_TRUE(rs->Seek(">", {QVariant()}));
    EXPECT_EQ(rs->Value("Name").toString(), "N3");
    EXPECT_TRUE(rs->Seek("<", {1}));
    EXPECT_EQ(rs->Value("Name").toString(), "N4");
}

TEST_F(TableWalk, DatesAndBooleansRoundTrip) {
    db->CreateTable(PeopleTable());
    auto rs = db->OpenTable("People");
    QDateTime moment(QDate(1999, 12, 31), QTime(23, 59, 58));
    rs->AddNew();
    rs->SetValue("Name", "Ada");
    rs->SetValue("Seen", moment);
    rs->SetValue("Active", false);
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Seen").toDateTime(), moment);
    EXPECT_EQ(rs->Value("Active"), QVariant(false));
}

}  // namespace
}  // namespace dao::testing
