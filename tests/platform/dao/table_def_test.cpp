#include "tests/platform/dao/dao_fixture.h"

namespace dao::testing {
namespace {

TEST_F(DaoTest, DefinitionsReadBackInOrdinalOrderWithEveryProperty) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    db->CreateTable(EventsTable());
    EXPECT_EQ(db->TableNames(), (QStringList{"People", "Events"}));
    db.reset();
    db = Database::Open(dir.Path("test.db"));
    const TableDef& people = db->GetTableDef("people");
    TableDef expected = PeopleTable();
    ASSERT_EQ(people.fields.size(), expected.fields.size());
    for (std::size_t i = 0; i < expected.fields.size(); ++i) {
        const FieldInfo& got = people.fields[i];
        const FieldInfo& want = expected.fields[i];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.type, want.type);
        EXPECT_EQ(got.size, want.size);
        EXPECT_EQ(got.attributes, want.attributes);
        EXPECT_EQ(got.required, want.required);
        EXPECT_EQ(got.allowZeroLength, want.allowZeroLength);
        EXPECT_EQ(got.defaultValue, want.defaultValue);
        EXPECT_EQ(got.collatingOrder, 1033);
        EXPECT_EQ(got.sourceTable, "People");
        EXPECT_EQ(got.sourceField, want.name);
        EXPECT_TRUE(got.foreignName.isEmpty() && got.validationRule.isEmpty());
    }
    const TableDef& events = db->GetTableDef("Events");
    ASSERT_EQ(events.indexes.size(), 2u);
    EXPECT_EQ(events.indexes[0].name, "PrimaryKey");
    EXPECT_TRUE(events.indexes[0].primary && events.indexes[0].unique);
    EXPECT_EQ(events.indexes[0].fields[1].name, "Seq");
    EXPECT_TRUE(events.indexes[0].fields[1].descending);
    EXPECT_FALSE(events.indexes[1].unique);
    EXPECT_EQ(ErrorOf([&] { db->GetTableDef("Nope"); }), kErrNoSuchObject);
}

TEST_F(DaoTest, DefinitionErrors) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    EXPECT_EQ(ErrorOf([&] { db->CreateTable(PeopleTable()); }), kErrTableExists);
    TableDef twice = EventsTable();
    twice.fields.push_back(twice.fields[0]);
    EXPECT_EQ(ErrorOf([&] { db->CreateTable(twice); }), kErrFieldDefinedTwice);
    TableDef badIndex = EventsTable();
    badIndex.indexes[1].fields[0].name = "Missing";
    EXPECT_EQ(ErrorOf([&] { db->CreateTable(badIndex); }), kErrItemNotFound);
    EXPECT_FALSE(db->HasTable("Events"));
}

TEST_F(DaoTest, AppendingAFieldKeepsRowsAndOrdinals) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    auto rs = db->OpenTable("People");
    rs->AddNew();
    rs->SetValue("Name", "Ada");
    rs->Update();
    db->AppendField("People", Field("Media", FieldType::Byte, 0, false, false, "0"));
    EXPECT_EQ(ErrorOf([&] { db->AppendField("People", Field("media", FieldType::Byte)); }),
              kErrFieldDefinedTwice);
    const TableDef& def = db->GetTableDef("People");
    EXPECT_EQ(def.fields.back().name, "Media");
    EXPECT_EQ(def.fields.size(), PeopleTable().fields.size() + 1);
    auto again = db->OpenTable("People");
    EXPECT_EQ(again->Value("Name").toString(), "Ada");
    EXPECT_TRUE(again->Value("Media").isNull());
    again->AddNew();
    EXPECT_EQ(again->Value("Media").toInt(), 0);
}

TEST_F(DaoTest, NewRowsTakeTheDefaults) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    auto rs = db->OpenTable("People");
    rs->AddNew();
    EXPECT_EQ(rs->Value("Person Key").toInt(), 1);
    EXPECT_EQ(rs->Value("Level"), QVariant(7));
    EXPECT_EQ(rs->Value("Offset"), QVariant(0));
    EXPECT_EQ(rs->Value("Active"), QVariant(true));
    EXPECT_TRUE(rs->Value("Count").isNull());
    rs->SetValue("Name", "Ada");
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Value("Level").typeId(), QMetaType::Int);
    EXPECT_EQ(rs->Value("Active").typeId(), QMetaType::Bool);
}

TEST_F(DaoTest, FieldRulesAreEnforcedWithNumberedErrors) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    auto rs = db->OpenTable("People");
    rs->AddNew();
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Level", 256); }), kErrNumericOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Level", -1); }), kErrNumericOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Offset", 32768); }), kErrNumericOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Offset", -32769); }), kErrNumericOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Count", qlonglong(2147483648LL)); }),
              kErrNumericOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Count", "twelve"); }), kErrConversion);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Name", QString(21, 'x')); }), kErrFieldTooSmall);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Name", ""); }), kErrZeroLength);
    EXPECT_EQ(ErrorOf([&] { rs->SetValue("Nope", 1); }), kErrItemNotFound);
    rs->SetValue("Level", 255);
    rs->SetValue("Offset", -32768);
    rs->SetValue("Count", "2147483647");
    rs->SetValue("Note", "");
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), kErrRequiredIsNull);
    rs->SetValue("Name", QString(20, 'x'));
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 1);
}

TEST_F(DaoTest, DuplicateKeyIs3022AndChangesNothing) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    db->CreateTable(EventsTable());
    auto rs = db->OpenTable("People");
    for (QString name : {"Ada", "Bob"}) {
        rs->AddNew();
        rs->SetValue("Name", name);
        rs->Update();
    }
    rs->AddNew();
    rs->SetValue("Name", "ada");  // text keys compare without regard to case
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), kErrDuplicateKey);
    rs->CancelUpdate();
    rs->SetIndex("Name");
    rs->Seek("=", {"Bob"});
    rs->Edit();
    rs->SetValue("Name", "Ada");
    rs->SetValue("Level", 1);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), kErrDuplicateKey);
    rs->CancelUpdate();
    rs->Seek("=", {"Bob"});
    EXPECT_EQ(rs->Value("Level").toInt(), 7);
    EXPECT_EQ(rs->RecordCount(), 2);

    auto ev = db->OpenTable("Events");
    ev->AddNew();
    ev->SetValue("Lock", 1);
    ev->SetValue("Seq", 5);
    ev->Update();
    ev->AddNew();
    ev->SetValue("Lock", 1);
    ev->SetValue("Seq", 5);
    EXPECT_EQ(ErrorOf([&] { ev->Update(); }), kErrDuplicateKey);
    ev->SetValue("Seq", QVariant());
    EXPECT_EQ(ErrorOf([&] { ev->Update(); }), kErrRequiredIsNull);
}

}  // namespace
}  // namespace dao::testing
