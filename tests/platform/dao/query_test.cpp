#include "platform/dao/jet_sql.h"
#include "tests/platform/dao/dao_fixture.h"

namespace dao::testing {
namespace {

class Queries : public DaoTest {
  protected:
    void SetUp() override {
        db = NewDatabase();
        TableDef locks;
        locks.name = "Locks";
        locks.fields = {AutoKey("Lock Key"), Field("FullPath", FieldType::Text, 255, false, true),
                        Field("Name", FieldType::Text, 32, false, false, "\"New Lock\""),
                        Field("Device Link", FieldType::Long, 0, false, false, "0")};
        locks.indexes = {{"PrimaryKey", {{"Lock Key", false}}, true, true}};
        db->CreateTable(locks);
        TableDef devices;
        devices.name = "Handheld PCs";
        devices.fields = {AutoKey("HPC Key"), Field("Record State", FieldType::Byte, 0, true)};
        devices.indexes = {{"PrimaryKey", {{"HPC Key", false}}, true, true}};
        db->CreateTable(devices);
        auto d = db->OpenTable("Handheld PCs");
        d->AddNew();
        d->SetValue("Record State", 3);
        d->Update();
        auto rs = db->OpenTable("Locks");
        for (auto [path, name, device] :
             std::vector<std::tuple<QString, QString, int>>{{"\\A\\", "Front", 1},
                                                            {"\\A\\East\\", "Side", 0},
                                                            {"\\a\\east\\", "Lower", 0},
                                                            {"\\A_B\\", "Under", 0},
                                                            {"\\A%\\", "Percent", 1},
                                                            {"\\B\\", "Back", 0}}) {
            rs->AddNew();
            rs->SetValue("FullPath", path);
            rs->SetValue("Name", name);
            rs->SetValue("Device Link", device);
            rs->Update();
        }
        db->CreateQueryDef({"LocksInPathQuery", kInPath, {"LOCKPATH"}});
        db->CreateQueryDef({"LocksToDeviceQuery", kToDevice, {"Device"}});
    }

    static QStringList Names(DynasetRecordset& rs) {
        QStringList names;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) names << rs.Value("Name").toString();
        return names;
    }

    static constexpr const char* kInPath =
        "SELECT Locks.[Lock Key], Locks.Name, Locks.FullPath, [Handheld PCs].[Record State]\n"
        "FROM Locks LEFT JOIN [Handheld PCs] ON Locks.[Device Link] = [Handheld PCs].[HPC "
        "Key]\nWHERE (((Locks.FullPath) Like [LOCKPATH] & \"*\"));\n";
    static constexpr const char* kToDevice =
        "SELECT Locks.[Device Link], Locks.[Lock Key], Locks.Name\nFROM Locks\n"
        "WHERE (((Locks.[Device Link])=[Device]))\nORDER BY Locks.Name;\n";
    std::unique_ptr<Database> db;
};

TEST_F(Queries, StoredTextIsKeptExactly) {
    db.reset();
    db = Database::Open(dir.Path("test.db"));
    EXPECT_EQ(db->QueryDefNames(), (QStringList{"LocksInPathQuery", "LocksToDeviceQuery"}));
    QueryDef q = db->GetQueryDef("lockstodevicequery");
    EXPECT_EQ(q.sql, kToDevice);
    EXPECT_EQ(q.parameters, QStringList{"Device"});
    EXPECT_EQ(ErrorOf([&] { db->CreateQueryDef({"Locks", "SELECT 1;", {}}); }), kErrObjectExists);
    EXPECT_EQ(ErrorOf([&] { db->GetQueryDef("Nope"); }), kErrNoSuchObject);
}

TEST_F(Queries, LikePrefixMatchesLiterallyWithoutRegardToCase) {
    auto rs = db->OpenQuery("LocksInPathQuery");
    rs->SetParameterText("LOCKPATH", "\\A\\");
    rs->Requery();
    EXPECT_EQ(Names(*rs), (QStringList{"Front", "Side", "Lower"}));
    // SQLite's own wildcards in the value match only themselves.
    rs->SetParameterText("LOCKPATH", "\\A_");
    rs->Requery();
    EXPECT_EQ(Names(*rs), QStringList{"Under"});
    rs->SetParameterText("LOCKPATH", "\\A%");
    rs->Requery();
    EXPECT_EQ(Names(*rs), QStringList{"Percent"});
    // The join supplies the device state; rows of a join are read-only.
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Record State"), QVariant(3));
    EXPECT_FALSE(rs->IsUpdatable());
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), kErrReadOnly);
}

TEST_F(Queries, ParametersSortAndEditsThroughASingleTableQuery) {
    auto rs = db->OpenQuery("LocksToDeviceQuery");
    rs->SetParameterText("Device", "0");
    rs->Requery();
    EXPECT_EQ(Names(*rs), (QStringList{"Back", "Lower", "Side", "Under"}));
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_TRUE(rs->IsUpdatable());
    rs->MoveFirst();
    rs->Edit();
    rs->SetValue("Device Link", 1);
    rs->Update();
    rs->MoveNext();
    rs->Delete();
    rs->MoveNext();
    EXPECT_EQ(rs->Value("Name").toString(), "Side");
    rs->AddNew();
    rs->SetValue("Device Link", 0);
    rs->Update();
    rs->Requery();
    EXPECT_EQ(Names(*rs), (QStringList{"New Lock", "Side", "Under"}));
    rs->SetParameter("Device", 1);
    rs->Requery();
    EXPECT_EQ(Names(*rs), (QStringList{"Back", "Front", "Percent"}));
    EXPECT_EQ(ErrorOf([&] { rs->SetParameter("Other", 1); }), kErrItemNotFound);
}

TEST_F(Queries, DynasetWithFilterAndSort) {
    auto rs = db->OpenDynaset("Locks", "[Device Link] = 0 AND Name <> \"Back\"", "Name DESC");
    EXPECT_EQ(Names(*rs), (QStringList{"Under", "Side", "Lower"}));
    rs->MoveLast();
    EXPECT_EQ(rs->Value("Name").toString(), "Lower");
    qint64 mark = rs->Bookmark();
    rs->MoveFirst();
    rs->SetBookmark(mark);
    EXPECT_EQ(rs->Value("FullPath").toString(), "\\a\\east\\");
}

TEST(QueryTranslation, NamesParametersLiteralsAndLike) {
    TranslatedSql t = TranslateQuery(
        "SELECT [Users to Locks].[Lock Index], Name\nFROM [Users to Locks]\nWHERE "
        "((([Users to Locks].[User Type]) Between 32 And 47) AND Name=[LOCK KEY] AND x = \"a'b\" "
        "AND y Like \"A*?_\" AND z = True);\n",
        {"LOCK KEY"});
    EXPECT_EQ(t.sql,
              "SELECT \"Users to Locks\".\"Lock Index\", \"Name\"\nFROM \"Users to Locks\"\nWHERE "
              "(((\"Users to Locks\".\"User Type\") BETWEEN 32 AND 47) AND \"Name\"=?1 AND \"x\" = "
              "'a''b' AND \"y\" LIKE 'A%_!_' ESCAPE '!' AND \"z\" = 1)");
    EXPECT_EQ(t.singleTable, "Users to Locks");
    EXPECT_EQ(t.selectList, " \"Users to Locks\".\"Lock Index\", \"Name\"\n");
    EXPECT_TRUE(
        TranslateQuery("SELECT a FROM A LEFT JOIN B ON A.x = B.y", {}).singleTable.isEmpty());
    EXPECT_EQ(ErrorOf([] { TranslateQuery("SELECT [a FROM b", {}); }), 3075);
    EXPECT_EQ(ErrorOf([] { TranslateQuery("SELECT 'a FROM b", {}); }), 3075);
}

}  // namespace
}  // namespace dao::testing
