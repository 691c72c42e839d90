#include "platform/dao/field_info.h"

namespace dao {

int FieldTypeSize(FieldType type) {
    switch (type) {
        case FieldType::Boolean: return 1;
        case FieldType::Byte: return 1;
        case FieldType::Integer: return 2;
        case FieldType::Long: return 4;
        case FieldType::DateTime: return 8;
        case FieldType::Text: return 255;
    }
    return 0;
}

const FieldInfo* TableDef::Field(const QString& fieldName) const {
    for (const FieldInfo& f : fields) {
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0) return &f;
    }
    return nullptr;
}

const IndexInfo* TableDef::Index(const QString& indexName) const {
    for (const IndexInfo& i : indexes) {
        if (i.name.compare(indexName, Qt::CaseInsensitive) == 0) return &i;
    }
    return nullptr;
}

}  // namespace dao
