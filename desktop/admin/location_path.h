#pragma once

#include <QString>

#include <optional>

#include "platform/dao/database.h"

namespace tandrel {

// The FullPath of a location: a backslash before and after each level's
// Node Name from the top down, the root contributing nothing; a lock
// directly under the root has "\". nullopt when a parent is missing or the
// parents form a cycle.
std::optional<QString> LocationFullPath(dao::Database& db, int directoryKey);

}  // namespace tandrel
