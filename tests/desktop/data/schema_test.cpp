#include "desktop/data/facility_schema.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

using dao::FieldType;

TEST_F(FacilityTest, ANewFacilityHasExactlyTheTablesFieldsAndQueries) {
    NewFacility();
    dao::Database& db = doc.Db();
    EXPECT_EQ(db.TableNames(),
              (QStringList{"FacilityProperties", "Audit Data", "Handheld PCs", "Holidays",
                           "Lock Paths", "Locks", "Time Schedule", "Time Schedule Events",
                           "User Groups", "Users", "Users to Locks"}));
    const std::vector<std::pair<const char*, int>> counts = {
        {"FacilityProperties", 30}, {"Audit Data", 7},
        {"Handheld PCs", 11},       {"Holidays", 8},
        {"Lock Paths", 4},          {"Locks", 35},
        {"Time Schedule", 3},       {"Time Schedule Events", 3},
        {"User Groups", 9},         {"Users", 22},
        {"Users to Locks", 7}};
    for (auto [table, count] : counts) {
        const dao::TableDef& def = db.GetTableDef(table);
        ASSERT_EQ(static_cast<int>(def.fields.size()), count) << table;
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
            const dao::FieldInfo& want = FacilityTable(table).fields[i];
            EXPECT_EQ(def.fields[i].name, want.name) << table << " " << i;
            EXPECT_EQ(def.fields[i].type, want.type) << want.name;
            EXPECT_EQ(def.fields[i].size, want.size) << want.name;
            EXPECT_EQ(def.fields[i].defaultValue, want.defaultValue) << want.name;
            EXPECT_EQ(def.fields[i].required, want.required) << want.name;
        }
    }
    EXPECT_EQ(
        db.QueryDefNames(),
        (QStringList{"AuditLogRecordQuery", "HolidayListQuery", "LockProgrammersQuery",
                     "LocksInPathQuery", "LocksToDeviceQuery", "LocksToTSQuery", "LocksToUserQuery",
                     "ScheduleEventsQuery", "UsersToLockQuery", "AuditDataToUserQuery"}));
    for (const dao::QueryDef& q : FacilityQueries()) {
        EXPECT_EQ(db.GetQueryDef(q.name).sql, q.sql);
        EXPECT_TRUE(q.sql.endsWith(";\n")) << q.name;
        EXPECT_NO_THROW(db.OpenQuery(q.name)->Requery()) << q.name;
    }
}

TEST(FacilitySchema, SpotChecksOfTheDescriptions) {
    const dao::TableDef& locks = FacilityTable("Locks");
    EXPECT_EQ(locks.fields[0].name, "Lock Key");
    EXPECT_TRUE(locks.fields[0].IsAutoIncrement());
    EXPECT_EQ(locks.fields[30].name, "Pending Action Counter");
    EXPECT_EQ(locks.fields[30].type, FieldType::Long);
    EXPECT_EQ(locks.fields[30].defaultValue, "2");
    EXPECT_EQ(locks.fields[2].name, "FullPath");
    EXPECT_TRUE(locks.fields[2].allowZeroLength);
    const dao::TableDef& properties = FacilityTable("FacilityProperties");
    EXPECT_EQ(properties.fields[1].size, 255);
    EXPECT_EQ(properties.fields[1].defaultValue, "My Facility");
    EXPECT_EQ(properties.fields[23].name, "DBVersion");
    EXPECT_EQ(properties.fields[23].defaultValue, "11");
    const dao::TableDef& audit = FacilityTable("Audit Data");
    EXPECT_TRUE(audit.indexes[0].fields[1].descending);
    EXPECT_EQ(FacilityTable("Users to Locks").fields[0].defaultValue, "-1");
    EXPECT_EQ(FacilityTable("Users").fields[11].defaultValue, "0");
    const QString inPath = FacilityQueries()[3].sql;
    EXPECT_TRUE(inPath.endsWith("WHERE (((Locks.FullPath) Like [LOCKPATH] & \"*\"));\n"));
    EXPECT_EQ(LockOSTable().fields.size(), 2u);
}

TEST_F(FacilityTest, EnrolmentSlotsAndScheduleNamesAreUnique) {
    NewFacility();
    CUsersToLocksRecordset enrolments(doc.Db());
    for (int user : {5, 6}) {
        enrolments.AddNew();
        enrolments.m_LockIndex = 1;
        enrolments.m_LockUserIndex = 3;
        enrolments.m_UserIndex = user;
        if (user == 5) {
            enrolments.Update();
        } else {
            EXPECT_EQ(EngineErrorOf([&] { enrolments.Update(); }), dao::kErrDuplicateKey);
        }
    }
    CTimeSchedulesRecordset schedules(doc.Db());
    for (int i = 0; i < 2; ++i) {
        schedules.AddNew();
        schedules.m_Name = "Office Hours";
        if (i == 0) {
            schedules.Update();
        } else {
            EXPECT_EQ(EngineErrorOf([&] { schedules.Update(); }), dao::kErrDuplicateKey);
        }
    }
}

TEST_F(FacilityTest, ANewLockRowGetsEveryDefault) {
    NewFacility();
    CLocksRecordset locks(doc.Db());
    locks.AddNew();
    locks.Update();
    locks.MoveFirst();
    EXPECT_EQ(locks.m_Name, "New Lock");
    EXPECT_EQ(locks.m_UserCapacity, 2000);
    EXPECT_EQ(locks.m_ScheduleCapacity, 144);
    EXPECT_EQ(locks.m_HolidayListCapacity, 32);
    EXPECT_EQ(locks.m_OpenDelaySeconds, 3);
    EXPECT_EQ(locks.m_SupplyVolts, 6000);
    EXPECT_EQ(locks.m_PendingActionCounter, 2);
    EXPECT_EQ(locks.m_RecordState, 2);
    EXPECT_TRUE(locks.m_RebuildUserList);
    EXPECT_TRUE(locks.m_DeviceAuditEnable);
    EXPECT_EQ(locks.m_PathIndex, 1);
    EXPECT_EQ(locks.m_DeviceLinkState, 0);
}

TEST_F(FacilityTest, AuditRowsComeNewestFirstPerLock) {
    NewFacility();
    GeneratorOptions options;
    options.locks = 3;
    options.auditRows = 30;
    GenerateFacilityData(doc.Db(), options);
    CAuditDataRecordset audit(doc.Db());
    audit.SetCurrentIndex("PrimaryKey");
    int lastLock = 0, lastKey = 0;
    for (; !audit.IsEOF(); audit.MoveNext()) {
        if (audit.m_LockKey == lastLock) {
            EXPECT_LT(audit.m_AuditKey, lastKey);
        }
        EXPECT_GE(audit.m_LockKey, lastLock);
        lastLock = audit.m_LockKey;
        lastKey = audit.m_AuditKey;
    }
    EXPECT_EQ(lastLock, 3);
}

// A FacilityProperties table that differs from the description in one way.
class PropertiesVariant : public FacilityTest {
  protected:
    bool ValidWith(const std::function<void(dao::TableDef&)>& change) {
        auto db = dao::Database::Create(dir.Path(QString("variant%1.db").arg(++made_)));
        dao::TableDef properties = FacilityTable(kFacilityPropertiesTable);
        change(properties);
        db->CreateTable(properties);
        return IsValidFacilityProperties(*db);
    }
    int made_ = 0;
};

TEST_F(PropertiesVariant, NameOfSize50IsInvalid) {
    EXPECT_FALSE(ValidWith([](dao::TableDef& t) { t.fields[1].size = 50; }));
}
TEST_F(PropertiesVariant, IntegerDBVersionIsInvalid) {
    EXPECT_FALSE(ValidWith([](dao::TableDef& t) {
        t.fields[23].type = FieldType::Integer;
        t.fields[23].size = 2;
    }));
}
TEST_F(PropertiesVariant, ADifferentDefaultOrAMissingFieldIsInvalid) {
    EXPECT_FALSE(ValidWith([](dao::TableDef& t) { t.fields[5].defaultValue = "5"; }));
    EXPECT_FALSE(ValidWith([](dao::TableDef& t) { t.fields.resize(27); }));
}
TEST_F(PropertiesVariant, TheDescribedTableIsValid) {
    EXPECT_TRUE(ValidWith([](dao::TableDef&) {}));
}

}  // namespace
}  // namespace tandrel::testing
