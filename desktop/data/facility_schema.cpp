#include "desktop/data/facility_schema.h"

#include "platform/dao/error.h"

namespace tandrel {
namespace {

using dao::FieldType;

// One field as the schema lists it.
struct FieldSpec {
    const char* name;
    FieldType type;
    int size;  // characters of a text field
    bool required;
    bool allowZeroLength;
    const char* defaultValue;
    bool autoIncrement;
};

struct IndexSpec {
    const char* name;
    std::initializer_list<dao::IndexField> fields;
    bool primary;
    bool unique;
};

// FacilityProperties
constexpr FieldSpec kFacilityPropertiesFields[] = {
    {"FacilityCode", FieldType::Text, 10, false, true, "", false},
    {"Name", FieldType::Text, 255, true, false, "My Facility", false},
    {"Revision", FieldType::Integer, 0, false, false, "1", false},
    {"CommCode", FieldType::Long, 0, false, false, "0", false},
    {"UserGroupTableRevision", FieldType::Integer, 0, false, false, "1", false},
    {"IDCodeLength", FieldType::Byte, 0, true, false, "4", false},
    {"PINLength", FieldType::Byte, 0, true, false, "4", false},
    {"DaylightSavings", FieldType::Byte, 0, false, false, "1", false},
    {"DSTAheadDay", FieldType::Byte, 0, false, false, "255", false},
    {"DSTAheadMonth", FieldType::Byte, 0, false, false, "255", false},
    {"DSTBackDay", FieldType::Byte, 0, false, false, "255", false},
    {"DSTBackMonth", FieldType::Byte, 0, false, false, "255", false},
    {"CardTrack", FieldType::Byte, 0, false, false, "255", false},
    {"CardIDPosIsField", FieldType::Byte, 0, false, false, "0", false},
    {"CardIDPosition", FieldType::Byte, 0, false, false, "1", false},
    {"CardFacilityPosIsField", FieldType::Byte, 0, false, false, "0", false},
    {"CardFacilityPosition", FieldType::Byte, 0, false, false, "1", false},
    {"CardIssueIsField", FieldType::Byte, 0, false, false, "0", false},
    {"CardIssuePosition", FieldType::Byte, 0, false, false, "1", false},
    {"CardExpireIsField", FieldType::Byte, 0, false, false, "0", false},
    {"CardExpirePosition", FieldType::Byte, 0, false, false, "1", false},
    {"CardExpireFormat", FieldType::Byte, 0, false, false, "0", false},
    {"CardExpireThru", FieldType::Byte, 0, false, false, "0", false},
    {"DBVersion", FieldType::Long, 0, false, false, "11", false},
    {"LastModified", FieldType::DateTime, 0, false, false, "", false},
    {"LastAccess", FieldType::DateTime, 0, false, false, "", false},
    {"RecordState", FieldType::Byte, 0, false, false, "0", false},
    {"Contact1Name", FieldType::Text, 20, false, false, "Contact1", false},
    {"Contact2Name", FieldType::Text, 20, false, false, "Contact2", false},
    {"ReferenceName", FieldType::Text, 20, false, false, "Reference", false},
};
// Audit Data
constexpr FieldSpec kAuditDataFields[] = {
    {"LockKey", FieldType::Long, 0, false, false, "0", false},
    {"AuditKey", FieldType::Long, 0, true, false, "", false},
    {"UserKey", FieldType::Long, 0, false, false, "0", false},
    {"Event", FieldType::Byte, 0, false, false, "0", false},
    {"TimeStamp", FieldType::DateTime, 0, false, false, "", false},
    {"AccessLevel", FieldType::Byte, 0, false, false, "255", false},
    {"UserGroups", FieldType::Byte, 0, false, false, "255", false},
};
// Handheld PCs
constexpr FieldSpec kHandheldPCsFields[] = {
    {"HPC Key", FieldType::Long, 0, true, false, "", true},
    {"Name", FieldType::Text, 20, true, false, "Palm PC", false},
    {"Description", FieldType::Text, 32, false, true, "", false},
    {"AssignedTo", FieldType::Text, 32, false, true, "", false},
    {"FerrowVersion", FieldType::Text, 10, false, true, "", false},
    {"Record State", FieldType::Byte, 0, true, false, "1", false},
    {"Mobile Type", FieldType::Long, 0, true, false, "0", false},
    {"IP Address", FieldType::Text, 32, false, true, "", false},
    {"Port Number", FieldType::Long, 0, false, false, "0", false},
    {"Spare1", FieldType::Long, 0, false, false, "0", false},
    {"Spare2", FieldType::Long, 0, false, false, "0", false},
};
// Holidays
constexpr FieldSpec kHolidaysFields[] = {
    {"KeyLink", FieldType::Long, 0, true, false, "", false},
    {"Name", FieldType::Text, 32, true, false, "", false},
    {"StartDateTime", FieldType::DateTime, 0, true, false, "", false},
    {"EndDateTime", FieldType::DateTime, 0, true, false, "", false},
    {"UseSchedule", FieldType::Boolean, 0, true, false, "", false},
    {"Schedule", FieldType::Byte, 0, true, false, "", false},
    {"Level", FieldType::Byte, 0, true, false, "1", false},
    {"GroupMask", FieldType::Byte, 0, true, false, "0", false},
};
// Lock Paths
constexpr FieldSpec kLockPathsFields[] = {
    {"Directory Key", FieldType::Long, 0, true, false, "", true},
    {"Node Name", FieldType::Text, 32, true, false, "", false},
    {"Root Index", FieldType::Long, 0, true, false, "", false},
    {"Record State", FieldType::Byte, 0, false, false, "1", false},
};
// Locks
constexpr FieldSpec kLocksFields[] = {
    {"Lock Key", FieldType::Long, 0, true, false, "", true},
    {"Path Index", FieldType::Long, 0, false, false, "1", false},
    {"FullPath", FieldType::Text, 255, false, true, "", false},
    {"Name", FieldType::Text, 32, false, false, "New Lock", false},
    {"Serial Number", FieldType::Text, 20, false, true, "", false},
    {"Model Number", FieldType::Text, 40, false, true, "", false},
    {"User Capacity", FieldType::Integer, 0, false, false, "2000", false},
    {"Schedule Capacity", FieldType::Integer, 0, false, false, "144", false},
    {"Holiday List Capacity", FieldType::Integer, 0, false, false, "32", false},
    {"Open Delay Seconds", FieldType::Integer, 0, false, false, "3", false},
    {"Facility Code", FieldType::Integer, 0, false, false, "0", false},
    {"Reader Configuration", FieldType::Byte, 0, false, false, "1", false},
    {"Last Program Date", FieldType::DateTime, 0, false, false, "", false},
    {"Install Date", FieldType::DateTime, 0, false, false, "", false},
    {"Battery Install Date", FieldType::DateTime, 0, false, false, "", false},
    {"Supply Volts", FieldType::Integer, 0, false, false, "6000", false},
    {"Downloaded Open Delay Seconds", FieldType::Integer, 0, false, false, "0", false},
    {"Downloaded Facility Rev", FieldType::Integer, 0, false, false, "0", false},
    {"Downloaded UG Table Rev", FieldType::Integer, 0, false, false, "0", false},
    {"Downloaded TS Rev", FieldType::Integer, 0, false, false, "0", false},
    {"Hardware Class", FieldType::Integer, 0, false, false, "0", false},
    {"Firmware Version", FieldType::Integer, 0, false, false, "0", false},
    {"Device Link", FieldType::Long, 0, false, false, "0", false},
    {"Device Link State", FieldType::Byte, 0, false, false, "0", false},
    {"Device Audit Enable", FieldType::Boolean, 0, false, false, "Yes", false},
    {"TS Link", FieldType::Long, 0, false, false, "0", false},
    {"Drive Usage Counter", FieldType::Long, 0, false, false, "0", false},
    {"Card Swipe Counter", FieldType::Long, 0, false, false, "0", false},
    {"Enrolled User Counter", FieldType::Long, 0, false, false, "0", false},
    {"Data Downloaded Flag", FieldType::Byte, 0, false, false, "0", false},
    {"Pending Action Counter", FieldType::Long, 0, false, false, "2", false},
    {"Rebuild User List", FieldType::Boolean, 0, false, false, "Yes", false},
    {"Audit Get All", FieldType::Byte, 0, false, false, "0", false},
    {"PgmIDCount", FieldType::Integer, 0, false, false, "0", false},
    {"Record State", FieldType::Byte, 0, false, false, "2", false},
};
// Time Schedule
constexpr FieldSpec kTimeScheduleFields[] = {
    {"ScheduleKey", FieldType::Long, 0, true, false, "", true},
    {"Name", FieldType::Text, 32, true, false, "", false},
    {"RevisionCounter", FieldType::Integer, 0, true, false, "1", false},
};
// Time Schedule Events
constexpr FieldSpec kTimeScheduleEventsFields[] = {
    {"SchedLink", FieldType::Long, 0, true, false, "", false},
    {"Schedule", FieldType::Byte, 0, true, false, "0", false},
    {"Event", FieldType::Long, 0, true, false, "0", false},
};
// User Groups
constexpr FieldSpec kUserGroupsFields[] = {
    {"Group Key", FieldType::Integer, 0, true, false, "0", false},
    {"Group Name", FieldType::Text, 32, true, false, "", false},
    {"Reference", FieldType::Text, 32, false, true, "", false},
    {"Autocode Enabled", FieldType::Boolean, 0, true, false, "No", false},
    {"PINDate", FieldType::Integer, 0, false, false, "0", false},
    {"RecodeDate", FieldType::Text, 10, false, true, "", false},
    {"Autocode Interval Type", FieldType::Byte, 0, true, false, "1", false},
    {"Autocode Interval", FieldType::Byte, 0, true, false, "1", false},
    {"Record State", FieldType::Byte, 0, true, false, "1", false},
};
// Users
constexpr FieldSpec kUsersFields[] = {
    {"User Key", FieldType::Long, 0, true, false, "", true},
    {"Last Name", FieldType::Text, 20, true, false, "", false},
    {"First Name", FieldType::Text, 20, false, true, "", false},
    {"Middle Initial", FieldType::Text, 1, false, true, "", false},
    {"Reference", FieldType::Text, 32, false, true, "", false},
    {"Contact1", FieldType::Text, 32, false, true, "", false},
    {"Contact2", FieldType::Text, 32, false, true, "", false},
    {"User Type", FieldType::Byte, 0, false, false, "1", false},
    {"Rights", FieldType::Byte, 0, false, false, "0", false},
    {"Lock ID code", FieldType::Text, 19, false, true, "", false},
    {"Card Media", FieldType::Boolean, 0, false, false, "No", false},
    {"CardIssueNumber", FieldType::Text, 1, false, true, "0", false},
    {"CardExpireDate", FieldType::DateTime, 0, false, false, "", false},
    {"Home Group", FieldType::Byte, 0, false, false, "0", false},
    {"Group Mask", FieldType::Byte, 0, false, false, "1", false},
    {"CurPIN", FieldType::Text, 6, false, true, "", false},
    {"NextPIN", FieldType::Text, 6, false, true, "", false},
    {"Revision Counter", FieldType::Integer, 0, false, false, "1", false},
    {"Pending Action Counter", FieldType::Long, 0, false, false, "0", false},
    {"Enrolled Lock Counter", FieldType::Long, 0, false, false, "0", false},
    {"Record State", FieldType::Byte, 0, false, false, "1", false},
    {"CardMediaType", FieldType::Byte, 0, false, false, "0", false},
};
// Users to Locks
constexpr FieldSpec kUsersToLocksFields[] = {
    {"Lock Index", FieldType::Long, 0, true, false, "-1", false},
    {"Lock User Index", FieldType::Integer, 0, true, false, "0", false},
    {"User Index", FieldType::Long, 0, true, false, "-1", false},
    {"Use Type Defaults", FieldType::Boolean, 0, false, false, "Yes", false},
    {"User Type", FieldType::Byte, 0, true, false, "0", false},
    {"Download User Rev Number", FieldType::Integer, 0, true, false, "0", false},
    {"Record State", FieldType::Byte, 0, true, false, "1", false},
};

dao::FieldInfo ToFieldInfo(const FieldSpec& row) {
    dao::FieldInfo f;
    f.name = QString::fromUtf8(row.name);
    f.type = row.type;
    f.size = row.type == FieldType::Text ? row.size : dao::FieldTypeSize(row.type);
    f.attributes = (row.type == FieldType::Text ? dao::kVariableField : dao::kFixedField) |
                   dao::kUpdatableField | (row.autoIncrement ? dao::kAutoIncrField : 0);
    f.required = row.required;
    f.allowZeroLength = row.allowZeroLength;
    f.defaultValue = QString::fromUtf8(row.defaultValue);
    f.collatingOrder = dao::kGeneralCollatingOrder;
    return f;
}

template <std::size_t N>
dao::TableDef Table(const char* name, const FieldSpec (&fields)[N],
                    std::initializer_list<IndexSpec> indexes) {
    dao::TableDef table;
    table.name = QString::fromUtf8(name);
    for (const FieldSpec& f : fields) table.fields.push_back(ToFieldInfo(f));
    for (const IndexSpec& i : indexes) {
        table.indexes.push_back({QString::fromUtf8(i.name), i.fields, i.primary, i.unique});
    }
    return table;
}

dao::IndexField Asc(const char* name) {
    return {QString::fromUtf8(name), false};
}
dao::IndexField Desc(const char* name) {
    return {QString::fromUtf8(name), true};
}

std::vector<dao::TableDef> BuildTables() {
    return {
        Table("FacilityProperties", kFacilityPropertiesFields, {}),
        Table("Audit Data", kAuditDataFields,
              {{"PrimaryKey", {Asc("LockKey"), Desc("AuditKey")}, true, true},
               {"LockKey", {Asc("LockKey")}, false, false}}),
        Table("Handheld PCs", kHandheldPCsFields, {{"PrimaryKey", {Asc("HPC Key")}, true, true}}),
        Table("Holidays", kHolidaysFields, {{"Link Index", {Asc("KeyLink")}, false, false}}),
        Table("Lock Paths", kLockPathsFields,
              {{"PrimaryKey", {Asc("Directory Key")}, true, true},
               {"Root Index", {Asc("Root Index")}, false, false}}),
        Table("Locks", kLocksFields,
              {{"PrimaryKey", {Asc("Lock Key")}, true, true},
               {"Path Index", {Asc("Path Index")}, false, false},
               {"FullPath", {Asc("FullPath")}, false, false},
               {"Name", {Asc("Name")}, false, false}}),
        Table("Time Schedule", kTimeScheduleFields,
              {{"PrimaryKey", {Asc("ScheduleKey")}, true, true},
               {"NameKey", {Asc("Name")}, false, true}}),
        Table("Time Schedule Events", kTimeScheduleEventsFields,
              {{"Link Index", {Asc("SchedLink")}, false, false}}),
        Table("User Groups", kUserGroupsFields, {{"PrimaryKey", {Asc("Group Key")}, true, true}}),
        Table("Users", kUsersFields,
              {{"PrimaryKey", {Asc("User Key")}, true, true},
               {"Last Name", {Asc("Last Name")}, false, false},
               {"Lock ID code", {Asc("Lock ID code")}, false, false}}),
        Table("Users to Locks", kUsersToLocksFields,
              {{"PrimaryKey", {Asc("Lock Index"), Asc("Lock User Index")}, true, true},
               {"Lock Index", {Asc("Lock Index")}, false, false},
               {"User Index", {Asc("User Index")}, false, false}}),
    };
}

std::vector<dao::QueryDef> BuildQueries() {
    return {
        {"AuditLogRecordQuery",
         "SELECT [Audit Data].LockKey, [Audit Data].UserKey, [Audit Data].TimeStamp, [Audit "
         "Data].Event, [Audit Data].AccessLevel, [Audit Data].UserGroups\n"
         "FROM [Audit Data]\n"
         "WHERE ((([Audit Data].LockKey)=[LOCK KEY]) AND (([Audit Data].UserKey)=[USER KEY]) AND "
         "(([Audit Data].TimeStamp)=[TIME]) AND (([Audit Data].Event)=[EVENT TYPE]) AND (([Audit "
         "Data].AccessLevel)=[LEVEL]) AND (([Audit Data].UserGroups)=[USER GROUPS]));\n",
         {"LOCK KEY", "USER KEY", "TIME", "EVENT TYPE", "LEVEL", "USER GROUPS"}},
        {"HolidayListQuery",
         "SELECT Holidays.KeyLink, Holidays.Name, Holidays.StartDateTime, Holidays.EndDateTime, "
         "Holidays.UseSchedule, Holidays.Schedule, Holidays.Level, Holidays.GroupMask\n"
         "FROM Holidays\n"
         "WHERE (((Holidays.KeyLink)=[TS LINK]))\n"
         "ORDER BY Holidays.StartDateTime;\n",
         {"TS LINK"}},
        {"LockProgrammersQuery",
         "SELECT [Users to Locks].[Lock Index], [Users to Locks].[User Index], [Users to "
         "Locks].[User Type], [Users to Locks].[Record State]\n"
         "FROM [Users to Locks]\n"
         "WHERE ((([Users to Locks].[Lock Index])=[LOCK KEY]) AND (([Users to Locks].[User Type]) "
         "Between 32 And 47));\n",
         {"LOCK KEY"}},
        {"LocksInPathQuery",
         "SELECT Locks.[Lock Key], Locks.Name, Locks.[Path Index], Locks.FullPath, Locks.[Device "
         "Link], Locks.[Device Link State], [Handheld PCs].[Record State]\n"
         "FROM Locks LEFT JOIN [Handheld PCs] ON Locks.[Device Link] = [Handheld PCs].[HPC Key]\n"
         "WHERE (((Locks.FullPath) Like [LOCKPATH] & \"*\"));\n",
         {"LOCKPATH"}},
        {"LocksToDeviceQuery",
         "SELECT Locks.[Device Link], Locks.[Lock Key], Locks.[Device Link State], Locks.[Path "
         "Index], Locks.Name, Locks.[Last Program Date], Locks.[Supply Volts], Locks.[Hardware "
         "Class], Locks.[Firmware Version], Locks.[Drive Usage Counter], Locks.[Card Swipe "
         "Counter], Locks.[Pending Action Counter], Locks.[Data Downloaded Flag]\n"
         "FROM Locks\n"
         "WHERE (((Locks.[Device Link])=[Device]))\n"
         "ORDER BY Locks.Name;\n",
         {"Device"}},
        {"LocksToTSQuery",
         "SELECT Locks.[Lock Key], Locks.[Path Index], Locks.Name, Locks.[Schedule Capacity], "
         "Locks.[Holiday List Capacity], Locks.[Downloaded TS Rev], Locks.[TS Link], Locks.[Data "
         "Downloaded Flag], Locks.[Pending Action Counter], Locks.[Record State]\n"
         "FROM Locks\n"
         "WHERE (((Locks.[TS Link])=[TS KEY]));\n",
         {"TS KEY"}},
        {"LocksToUserQuery",
         "SELECT [Users to Locks].[Lock Index], [Users to Locks].[User Index], [Users to "
         "Locks].[Lock User Index], [Users to Locks].[Use Type Defaults], [Users to Locks].[User "
         "Type], [Users to Locks].[Download User Rev Number], [Users to Locks].[Record State]\n"
         "FROM [Users to Locks]\n"
         "WHERE ((([Users to Locks].[User Index])=[USER KEY]));\n",
         {"USER KEY"}},
        {"ScheduleEventsQuery",
         "SELECT [Time Schedule Events].Schedule, [Time Schedule Events].Event, [Time Schedule "
         "Events].SchedLink\n"
         "FROM [Time Schedule Events]\n"
         "WHERE ((([Time Schedule Events].SchedLink)=[TS KEY]))\n"
         "ORDER BY [Time Schedule Events].Schedule;\n",
         {"TS KEY"}},
        {"UsersToLockQuery",
         "SELECT [Users to Locks].[Lock User Index], [Users to Locks].[Lock Index], [Users to "
         "Locks].[User Index], [Users to Locks].[Use Type Defaults], [Users to Locks].[User Type], "
         "[Users to Locks].[Download User Rev Number], [Users to Locks].[Record State]\n"
         "FROM [Users to Locks]\n"
         "WHERE ((([Users to Locks].[Lock Index])=[LOCK KEY]))\n"
         "ORDER BY [Users to Locks].[Lock User Index];\n",
         {"LOCK KEY"}},
        {"AuditDataToUserQuery",
         "SELECT [Audit Data].LockKey, [Audit Data].UserKey, [Audit Data].TimeStamp, [Audit "
         "Data].Event, [Audit Data].AccessLevel, [Audit Data].UserGroups\n"
         "FROM [Audit Data]\n"
         "WHERE (([Audit Data].UserKey)=[USER KEY]);\n",
         {"USER KEY"}},
    };
}

bool SameField(const dao::FieldInfo& have, const dao::FieldInfo& want) {
    return have.name == want.name && have.type == want.type && have.size == want.size &&
           have.required == want.required && have.allowZeroLength == want.allowZeroLength &&
           have.defaultValue == want.defaultValue && have.collatingOrder == want.collatingOrder &&
           have.foreignName.isEmpty() && have.sourceField == want.name &&
           have.sourceTable == QLatin1String(kFacilityPropertiesTable) &&
           have.validationRule.isEmpty() && have.validationText.isEmpty();
}

}  // namespace

const std::vector<dao::TableDef>& FacilityTables() {
    static const std::vector<dao::TableDef> tables = BuildTables();
    return tables;
}

const dao::TableDef& FacilityTable(const QString& name) {
    for (const dao::TableDef& t : FacilityTables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return t;
    }
    dao::Throw(dao::kErrNoSuchObject, name);
}

const std::vector<dao::QueryDef>& FacilityQueries() {
    static const std::vector<dao::QueryDef> queries = BuildQueries();
    return queries;
}

dao::TableDef LockOSTable() {
    static constexpr FieldSpec kLosFields[] = {
        {"PlatformRcd", FieldType::Long, 0, false, false, "", false},
        {"PgmData", FieldType::Text, 255, false, true, "", false},
    };
    return Table("LOS", kLosFields, {});
}

void CreateFacilitySchema(dao::Database& db) {
    dao::Transaction transaction(db);
    for (const dao::TableDef& table : FacilityTables()) db.CreateTable(table);
    for (const dao::QueryDef& query : FacilityQueries()) db.CreateQueryDef(query);
    transaction.Commit();
}

bool IsValidFacilityProperties(const dao::Database& db) {
    if (!db.HasTable(kFacilityPropertiesTable)) return false;
    const std::vector<dao::FieldInfo> have = db.GetTableDef(kFacilityPropertiesTable).fields;
    const auto& want = FacilityTable(kFacilityPropertiesTable).fields;
    // A table of 27 fields (an older layout) fails at its first missing field.
    if (have.size() != want.size() && have.size() != 27) return false;
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (i >= have.size() || !SameField(have[i], want[i])) return false;
    }
    return true;
}

}  // namespace tandrel
