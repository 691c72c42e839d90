#include "platform/dao/catalog.h"

#include "platform/dao/error.h"
#include "platform/dao/jet_sql.h"

namespace dao {
namespace {

constexpr int kCatalogFormat = 1;

std::string ColumnDefinition(const FieldInfo& field) {
    std::string column = sqlite::Quote(field.name);
    if (field.IsAutoIncrement()) return column + " INTEGER PRIMARY KEY AUTOINCREMENT";
    if (field.type == FieldType::Text) return column + " TEXT COLLATE NOCASE";
    return column + " INTEGER";
}

QString EncodeIndexFields(const IndexInfo& index) {
    QStringList parts;
    for (const IndexField& f : index.fields) {
        parts << (f.descending ? QLatin1Char('-') : QLatin1Char('+')) + f.name;
    }
    return parts.join(QLatin1Char('\n'));
}

std::vector<IndexField> DecodeIndexFields(const QString& text) {
    std::vector<IndexField> fields;
    for (const QString& part : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        fields.push_back({part.mid(1), part.startsWith(QLatin1Char('-'))});
    }
    return fields;
}

void InsertField(sqlite::Connection& c, const QString& table, int ordinal, const FieldInfo& f) {
    auto& s = c.Cached(
        "INSERT INTO qx_fields(tbl, ordinal, name, type, size, attributes, required, "
        "allow_zero_length, default_value, collating_order) VALUES(?,?,?,?,?,?,?,?,?,?)");
    s.BindText(1, table);
    s.BindInt(2, ordinal);
    s.BindText(3, f.name);
    s.BindInt(4, static_cast<int>(f.type));
    s.BindInt(5, f.type == FieldType::Text ? f.size : FieldTypeSize(f.type));
    s.BindInt(6, f.attributes);
    s.BindInt(7, f.required);
    s.BindInt(8, f.allowZeroLength);
    s.BindText(9, f.defaultValue.isNull() ? QStringLiteral("") : f.defaultValue);
    s.BindInt(10, f.collatingOrder);
    s.Run();
}

void CheckDefinition(const TableDef& table) {
    if (table.name.isEmpty() || table.fields.empty()) Throw(kErrInvalidArgument);
    int autos = 0;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const FieldInfo& f = table.fields[i];
        if (f.name.isEmpty()) Throw(kErrInvalidArgument);
        for (std::size_t j = 0; j < i; ++j) {
            if (table.fields[j].name.compare(f.name, Qt::CaseInsensitive) == 0) {
                Throw(kErrFieldDefinedTwice);
            }
        }
        if (f.IsAutoIncrement() && (f.type != FieldType::Long || ++autos > 1)) {
            Throw(kErrInvalidArgument);
        }
    }
    for (const IndexInfo& index : table.indexes) {
        if (index.fields.empty()) Throw(kErrInvalidArgument);
        for (const IndexField& f : index.fields) {
            if (!table.Field(f.name)) Throw(kErrItemNotFound);
        }
    }
}

}  // namespace

std::string SqliteIndexName(const QString& table, const QString& index) {
    return sqlite::Quote(table + QLatin1Char('.') + index);
}

bool IsRowIdIndex(const TableDef& table, const IndexInfo& index) {
    if (index.fields.size() != 1 || index.fields[0].descending) return false;
    const FieldInfo* field = table.Field(index.fields[0].name);
    return field && field->IsAutoIncrement();
}

void ConfigureConnection(sqlite::Connection& c, bool encrypted) {
    if (encrypted) c.Exec("PRAGMA cipher_page_size = 4096");
    // New files attached to this connection (password changes, compaction)
    // get the same page size.
    c.Exec("PRAGMA cipher_default_page_size = 4096");
    c.Exec("PRAGMA locking_mode = EXCLUSIVE");
    c.Exec("PRAGMA cache_size = -65536");
    RegisterLikeEscape(c.Handle());
}

void CreateCatalog(sqlite::Connection& c) {
    c.Exec("BEGIN");
    c.Exec("CREATE TABLE qx_database(format INTEGER NOT NULL)");
    c.Exec("INSERT INTO qx_database VALUES(" + std::to_string(kCatalogFormat) + ")");
    c.Exec(
        "CREATE TABLE qx_tables(ordinal INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE "
        "NOCASE)");
    c.Exec(
        "CREATE TABLE qx_fields(tbl TEXT NOT NULL COLLATE NOCASE, ordinal INTEGER NOT NULL, "
        "name TEXT NOT NULL, type INTEGER NOT NULL, size INTEGER NOT NULL, attributes INTEGER "
        "NOT NULL, required INTEGER NOT NULL, allow_zero_length INTEGER NOT NULL, default_value "
        "TEXT NOT NULL, collating_order INTEGER NOT NULL, PRIMARY KEY(tbl, ordinal))");
    c.Exec(
        "CREATE TABLE qx_indexes(tbl TEXT NOT NULL COLLATE NOCASE, ordinal INTEGER NOT NULL, "
        "name TEXT NOT NULL, fields TEXT NOT NULL, is_primary INTEGER NOT NULL, is_unique "
        "INTEGER NOT NULL, PRIMARY KEY(tbl, ordinal))");
    c.Exec(
        "CREATE TABLE qx_queries(ordinal INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE "
        "NOCASE, sql TEXT NOT NULL, parameters TEXT NOT NULL)");
    c.Exec("COMMIT");
}

bool IsCatalogPresent(sqlite::Connection& c) {
    auto& s =
        c.Cached("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='qx_database'");
    bool present = s.Step() && s.Int(0) > 0;
    s.Reset();
    if (!present) return false;
    auto& format = c.Cached("SELECT format FROM qx_database");
    bool ours = format.Step() && format.Int(0) == kCatalogFormat;
    format.Reset();
    return ours;
}

std::map<QString, TableDef> ReadCatalog(sqlite::Connection& c) {
    std::map<QString, TableDef> tables;
    auto& f = c.Cached(
        "SELECT tbl, name, type, size, attributes, required, allow_zero_length, default_value, "
        "collating_order FROM qx_fields ORDER BY tbl, ordinal");
    while (f.Step()) {
        TableDef& table = tables[f.Text(0).toLower()];
        table.name = f.Text(0);
        FieldInfo field;
        field.name = f.Text(1);
        field.type = static_cast<FieldType>(f.Int(2));
        field.size = static_cast<int>(f.Int(3));
        field.attributes = static_cast<int>(f.Int(4));
        field.required = f.Int(5) != 0;
        field.allowZeroLength = f.Int(6) != 0;
        field.defaultValue = f.Text(7);
        field.collatingOrder = static_cast<int>(f.Int(8));
        field.sourceTable = table.name;
        field.sourceField = field.name;
        field.foreignName = field.validationRule = field.validationText = QStringLiteral("");
        table.fields.push_back(field);
    }
    f.Reset();
    auto& n = c.Cached("SELECT name FROM qx_tables");
    while (n.Step()) {
        auto it = tables.find(n.Text(0).toLower());
        if (it != tables.end()) it->second.name = n.Text(0);
    }
    n.Reset();
    auto& x = c.Cached(
        "SELECT tbl, name, fields, is_primary, is_unique FROM qx_indexes ORDER BY tbl, ordinal");
    while (x.Step()) {
        auto it = tables.find(x.Text(0).toLower());
        if (it == tables.end()) continue;
        it->second.indexes.push_back(
            {x.Text(1), DecodeIndexFields(x.Text(2)), x.Int(3) != 0, x.Int(4) != 0});
    }
    x.Reset();
    return tables;
}

QStringList ReadTableOrder(sqlite::Connection& c) {
    QStringList names;
    auto& s = c.Cached("SELECT name FROM qx_tables ORDER BY ordinal");
    while (s.Step()) names << s.Text(0);
    s.Reset();
    return names;
}

void WriteTable(sqlite::Connection& c, const TableDef& table, int ordinal) {
    CheckDefinition(table);
    std::string ddl = "CREATE TABLE " + sqlite::Quote(table.name) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (i > 0) ddl += ", ";
        ddl += ColumnDefinition(table.fields[i]);
    }
    c.Exec(ddl + ")");
    for (const IndexInfo& index : table.indexes) {
        if (IsRowIdIndex(table, index)) continue;
        std::string sql =
            std::string("CREATE ") + (index.unique || index.primary ? "UNIQUE " : "") + "INDEX " +
            SqliteIndexName(table.name, index.name) + " ON " + sqlite::Quote(table.name) + " (";
        for (std::size_t k = 0; k < index.fields.size(); ++k) {
            if (k > 0) sql += ", ";
            sql += sqlite::Quote(index.fields[k].name) +
                   (index.fields[k].descending ? " DESC" : " ASC");
        }
        c.Exec(sql + ")");
    }
    auto& t = c.Cached("INSERT INTO qx_tables(ordinal, name) VALUES(?, ?)");
    t.BindInt(1, ordinal);
    t.BindText(2, table.name);
    t.Run();
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        InsertField(c, table.name, static_cast<int>(i), table.fields[i]);
    }
    for (std::size_t i = 0; i < table.indexes.size(); ++i) {
        const IndexInfo& index = table.indexes[i];
        auto& s = c.Cached(
            "INSERT INTO qx_indexes(tbl, ordinal, name, fields, is_primary, is_unique) "
            "VALUES(?,?,?,?,?,?)");
        s.BindText(1, table.name);
        s.BindInt(2, static_cast<int>(i));
        s.BindText(3, index.name);
        s.BindText(4, EncodeIndexFields(index));
        s.BindInt(5, index.primary);
        s.BindInt(6, index.unique || index.primary);
        s.Run();
    }
}

void WriteAppendedField(sqlite::Connection& c, const TableDef& table, const FieldInfo& field) {
    if (field.name.isEmpty() || field.IsAutoIncrement()) Throw(kErrInvalidArgument);
    c.Exec("ALTER TABLE " + sqlite::Quote(table.name) + " ADD COLUMN " + ColumnDefinition(field));
    InsertField(c, table.name, static_cast<int>(table.fields.size()), field);
}

void WriteQuery(sqlite::Connection& c, const QueryDef& query) {
    if (query.name.isEmpty()) Throw(kErrInvalidArgument);
    // Refuse text that cannot be translated now rather than when opened.
    TranslateQuery(query.sql, query.parameters);
    auto& s = c.Cached("INSERT INTO qx_queries(name, sql, parameters) VALUES(?, ?, ?)");
    s.BindText(1, query.name);
    s.BindText(2, query.sql);
    s.BindText(3, query.parameters.join(QLatin1Char('\n')));
    s.Run();
}

std::optional<QueryDef> ReadQuery(sqlite::Connection& c, const QString& name) {
    auto& s = c.Cached("SELECT name, sql, parameters FROM qx_queries WHERE name = ?");
    s.BindText(1, name);
    if (!s.Step()) return std::nullopt;
    QueryDef query{s.Text(0), s.Text(1), s.Text(2).split(QLatin1Char('\n'), Qt::SkipEmptyParts)};
    s.Reset();
    return query;
}

QStringList ReadQueryNames(sqlite::Connection& c) {
    QStringList names;
    auto& s = c.Cached("SELECT name FROM qx_queries ORDER BY ordinal");
    while (s.Step()) names << s.Text(0);
    s.Reset();
    return names;
}

}  // namespace dao
