#pragma once

#include <string>
#include <vector>

#include "platform/ce/ce_types.h"
#include "platform/dao/sqlite.h"

// The SQL schema of a store file, and the check that a file holds exactly
// that schema: SQLite trusts the schema text it finds in a file, so a store
// image from outside is refused unless every table and index is one the
// store itself would have made.
namespace ce::store_schema {

// The tables every store has.
const std::vector<std::string>& FixedTables();
// The table of one database's records and its sort key indexes.
std::vector<std::string> RecordTableSql(Oid db, std::size_t sortCount);
bool SchemaFits(dao::sqlite::Connection& db);

}  // namespace ce::store_schema
