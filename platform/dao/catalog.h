#pragma once

#include <map>
#include <optional>

#include "platform/dao/field_info.h"
#include "platform/dao/sqlite.h"

// The catalog inside every database file: what SQLite's own schema cannot
// hold (field types and sizes, required and zero-length rules, defaults,
// index names and directions, stored queries with their original text).
namespace dao {

// Per-connection settings (page size of encrypted files, exclusive locking,
// cache, SQL functions).
void ConfigureConnection(sqlite::Connection& c, bool encrypted);
void CreateCatalog(sqlite::Connection& c);
// Whether the file reads and holds a catalog. Throws for unreadable files.
bool IsCatalogPresent(sqlite::Connection& c);

std::map<QString, TableDef> ReadCatalog(sqlite::Connection& c);
QStringList ReadTableOrder(sqlite::Connection& c);
void WriteTable(sqlite::Connection& c, const TableDef& table, int ordinal);
void WriteAppendedField(sqlite::Connection& c, const TableDef& table, const FieldInfo& field);

void WriteQuery(sqlite::Connection& c, const QueryDef& query);
std::optional<QueryDef> ReadQuery(sqlite::Connection& c, const QString& name);
QStringList ReadQueryNames(sqlite::Connection& c);

// The SQLite name of an index of a table (index names are per table here,
// per file in SQLite).
std::string SqliteIndexName(const QString& table, const QString& index);
// Whether an index is the table's auto-increment key, which SQLite keeps as
// the row id rather than as an index of its own.
bool IsRowIdIndex(const TableDef& table, const IndexInfo& index);

}  // namespace dao
