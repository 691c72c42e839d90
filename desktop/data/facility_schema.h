#pragma once

#include <QString>

#include <vector>

#include "platform/dao/database.h"
#include "platform/dao/field_info.h"

namespace tandrel {

// The format version of facility databases this program writes.
inline constexpr int kCurrentDBVersion = 11;
inline constexpr char kFacilityPropertiesTable[] = "FacilityProperties";

// The facility database, held once as data: the eleven tables in creation
// order with every field (in ordinal order, with all its properties) and
// index, and the ten stored queries with their exact texts. Creation,
// conversion of older files and validation all read it.
const std::vector<dao::TableDef>& FacilityTables();
// 3078 for a name that is not a facility table.
const dao::TableDef& FacilityTable(const QString& name);
const std::vector<dao::QueryDef>& FacilityQueries();
// The one table of a lock OS file.
dao::TableDef LockOSTable();

// Creates every table, then every query, in order; the first failure stops
// with the engine's error.
void CreateFacilitySchema(dao::Database& db);

// Whether FacilityProperties has exactly the current fields, ordinal by
// ordinal, with every property as described.
bool IsValidFacilityProperties(const dao::Database& db);

}  // namespace tandrel
