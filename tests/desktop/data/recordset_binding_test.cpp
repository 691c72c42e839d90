// Every recordset class binds its columns where the schema puts them: the
// member list, the exchange positions and the schema must not drift apart.
#include <QRegularExpression>

#include <set>

#include "desktop/data/facility_schema.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

struct Column {
    QString name;
    dao::FieldType type;
};

std::vector<Column> TableColumns(const dao::TableDef& table) {
    std::vector<Column> columns;
    for (const dao::FieldInfo& f : table.fields) columns.push_back({f.name, f.type});
    return columns;
}

QString Unbracketed(const QString& name) {
    return name.startsWith(QLatin1Char('[')) ? name.mid(1, name.size() - 2) : name;
}

// The result columns of a stored query as its text selects them, each a
// field of a facility table: "[Audit Data].LockKey", "Locks.[Lock Key]".
std::vector<Column> QueryColumns(const QString& queryName) {
    static const QRegularExpression kItem(R"(^(\[[^\]]+\]|\w+)\.(\[[^\]]+\]|\w+)$)");
    std::vector<Column> columns;
    for (const dao::QueryDef& q : FacilityQueries()) {
        if (q.name != queryName) continue;
        const QString selectList = q.sql.section('\n', 0, 0).mid(QStringLiteral("SELECT ").size());
        for (const QString& item : selectList.split(QStringLiteral(", "))) {
            const QRegularExpressionMatch m = kItem.match(item);
            if (!m.hasMatch()) {
                ADD_FAILURE() << "unreadable column " << item.toStdString();
                continue;
            }
            const dao::TableDef& table = FacilityTable(Unbracketed(m.captured(1)));
            const dao::FieldInfo* field = table.Field(Unbracketed(m.captured(2)));
            if (!field) {
                ADD_FAILURE() << "no field " << item.toStdString();
                continue;
            }
            columns.push_back({field->name, field->type});
        }
    }
    return columns;
}

int TypeCode(dao::FieldType type) {
    return static_cast<int>(type);
}

class RecordsetBinding : public FacilityTest {
  protected:
    // Checks that the class binds every column once, in order, with a member
    // of the column's type, both as the schema says and as the engine opened
    // it; notes the source as covered.
    template <typename Rs>
    void ExpectBinds(dao::Database& db, const QString& source, const std::vector<Column>& columns) {
        SCOPED_TRACE(source.toStdString());
        covered.insert(source);
        Rs rs(db);
        const std::vector<BoundField> bound = rs.BoundFields();
        ASSERT_EQ(bound.size(), columns.size());
        ASSERT_EQ(rs.Raw().FieldCount(), static_cast<int>(columns.size()));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            SCOPED_TRACE(columns[i].name.toStdString());
            EXPECT_EQ(bound[i].ordinal, static_cast<int>(i));
            EXPECT_EQ(bound[i].name, columns[i].name);
            EXPECT_EQ(TypeCode(bound[i].type), TypeCode(columns[i].type));
            const dao::FieldInfo& opened = rs.Raw().FieldDef(static_cast<int>(i));
            EXPECT_EQ(opened.name, columns[i].name);
            EXPECT_EQ(TypeCode(opened.type), TypeCode(columns[i].type));
        }
    }
    template <typename Rs>
    void ExpectBindsTable(dao::Database& db, const QString& table) {
        ExpectBinds<Rs>(db, table, TableColumns(FacilityTable(table)));
    }
    template <typename Rs>
    void ExpectBindsQuery(dao::Database& db, const QString& query) {
        ExpectBinds<Rs>(db, query, QueryColumns(query));
    }

    std::set<QString> covered;
};

TEST_F(RecordsetBinding, EveryClassBindsItsColumnsByNamePositionAndType) {
    NewFacility();
    dao::Database& db = doc.Db();
    ExpectBindsTable<CFacilityPropertiesRecordset>(db, "FacilityProperties");
    ExpectBindsTable<CAuditDataRecordset>(db, "Audit Data");
    ExpectBindsTable<CMobileDevicesRecordset>(db, "Handheld PCs");
    ExpectBindsTable<CHolidaysRecordset>(db, "Holidays");
    ExpectBindsTable<CFacilityDirectoryRecordset>(db, "Lock Paths");
    ExpectBindsTable<CLocksRecordset>(db, "Locks");
    ExpectBindsTable<CTimeSchedulesRecordset>(db, "Time Schedule");
    ExpectBindsTable<CScheduleEventsRecordset>(db, "Time Schedule Events");
    ExpectBindsTable<CGroupsRecordset>(db, "User Groups");
    ExpectBindsTable<CLockUsersRecordset>(db, "Users");
    ExpectBindsTable<CUsersToLocksRecordset>(db, "Users to Locks");

    ExpectBindsQuery<CAuditDataToUserQueryset>(db, "AuditDataToUserQuery");
    ExpectBindsQuery<CAuditLogRecordQS>(db, "AuditLogRecordQuery");
    ExpectBindsQuery<CHolidayListQuerySet>(db, "HolidayListQuery");
    ExpectBindsQuery<CLocksInPathQuerySet>(db, "LocksInPathQuery");
    ExpectBindsQuery<CLocksToDeviceQuerySet>(db, "LocksToDeviceQuery");
    ExpectBindsQuery<CLocksToTSQuerySet>(db, "LocksToTSQuery");
    ExpectBindsQuery<CLocksToUserQuerySet>(db, "LocksToUserQuery");
    ExpectBindsQuery<CScheduleEventsQuerySet>(db, "ScheduleEventsQuery");
    ExpectBindsQuery<CUsersToLockQuerySet>(db, "UsersToLockQuery");

    // Every table and every query the program opens has its class.
    std::set<QString> schema;
    for (const dao::TableDef& t : FacilityTables()) schema.insert(t.name);
    for (const dao::QueryDef& q : FacilityQueries()) schema.insert(q.name);
    schema.erase("LockProgrammersQuery");  // created for other programs, never opened here
    EXPECT_EQ(covered, schema);
}

TEST_F(RecordsetBinding, TheLockOSFileClassBindsItsTable) {
    auto los = dao::Database::Create(dir.Path("image.los"), {});
    los->CreateTable(LockOSTable());
    ExpectBinds<CLOSRecordset>(*los, "LOS", TableColumns(LockOSTable()));
}

}  // namespace
}  // namespace tandrel::testing
