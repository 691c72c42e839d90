#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace dao {

// Field types, numbered as the schema descriptions compare them.
enum class FieldType : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    DateTime = 8,
    Text = 10,
};

// Field attribute bits.
enum FieldAttribute : int {
    kFixedField = 0x1,
    kVariableField = 0x2,
    kAutoIncrField = 0x10,
    kUpdatableField = 0x20,
};

inline constexpr int kGeneralCollatingOrder = 1033;

// The full description of one field, as created and as read back.
struct FieldInfo {
    QString name;
    FieldType type = FieldType::Long;
    int size = 4;  // bytes for numbers, characters for text
    int attributes = kFixedField | kUpdatableField;
    bool required = false;
    bool allowZeroLength = false;
    QString defaultValue;  // the default-value expression, e.g. "Yes", "1", "\"My Facility\""
    int collatingOrder = kGeneralCollatingOrder;
    // Read back only: what the engine reports for every field of a table.
    QString sourceTable;
    QString sourceField;
    QString foreignName;
    QString validationRule;
    QString validationText;

    bool IsAutoIncrement() const { return attributes & kAutoIncrField; }
};

// The storage size of a field type (text fields carry their own size).
int FieldTypeSize(FieldType type);

struct IndexField {
    QString name;
    bool descending = false;
};

struct IndexInfo {
    QString name;
    std::vector<IndexField> fields;
    bool primary = false;
    bool unique = false;
};

struct TableDef {
    QString name;
    std::vector<FieldInfo> fields;
    std::vector<IndexInfo> indexes;

    const FieldInfo* Field(const QString& fieldName) const;
    const IndexInfo* Index(const QString& indexName) const;
};

// A stored query: its text exactly as given, and its named parameters.
struct QueryDef {
    QString name;
    QString sql;
    QStringList parameters;
};

}  // namespace dao
