#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/dao/database.h"
#include "platform/dao/error.h"
#include "platform/dao/recordset.h"
#include "tests/support/engine_error.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace dao::testing {

inline FieldInfo Field(const QString& name, FieldType type, int size = 0, bool required = false,
                       bool azl = false, const QString& def = {}) {
    FieldInfo f;
    f.name = name;
    f.type = type;
    f.size = type == FieldType::Text ? size : FieldTypeSize(type);
    f.required = required;
    f.allowZeroLength = azl;
    f.defaultValue = def;
    f.attributes = (type == FieldType::Text ? kVariableField : kFixedField) | kUpdatableField;
    return f;
}

inline FieldInfo AutoKey(const QString& name) {
    FieldInfo f = Field(name, FieldType::Long, 0, true);
    f.attributes |= kAutoIncrField;
    return f;
}

// People: an auto key, a unique name, a few typed fields.
inline TableDef PeopleTable() {
    TableDef t;
    t.name = "People";
    t.fields = {AutoKey("Person Key"),
                Field("Name", FieldType::Text, 20, true, false),
                Field("Note", FieldType::Text, 10, false, true),
                Field("Level", FieldType::Byte, 0, false, false, "\"7\""),
                Field("Offset", FieldType::Integer, 0, false, false, "0"),
                Field("Count", FieldType::Long),
                Field("Active", FieldType::Boolean, 0, false, false, "Yes"),
                Field("Seen", FieldType::DateTime)};
    t.indexes = {{"PrimaryKey", {{"Person Key", false}}, true, true},
                 {"Name", {{"Name", false}}, false, true},
                 {"Level", {{"Level", false}}, false, false}};
    return t;
}

// Events: newest first per lock through a descending second key field.
inline TableDef EventsTable() {
    TableDef t;
    t.name = "Events";
    t.fields = {Field("Lock", FieldType::Long, 0, false, false, "0"),
                Field("Seq", FieldType::Long, 0, true), Field("Code", FieldType::Byte)};
    t.indexes = {{"PrimaryKey", {{"Lock", false}, {"Seq", true}}, true, true},
                 {"Lock", {{"Lock", false}}, false, false}};
    return t;
}

class DaoTest : public ::testing::Test {
  protected:
    std::unique_ptr<Database> NewDatabase(const QString& name = "test.db",
                                          const QString& password = {}) {
        return Database::Create(dir.Path(name), password);
    }
    TempDir dir;
};

template <typename Body>
int ErrorOf(Body body) {
    return EngineErrorOf(body);
}

}  // namespace dao::testing
