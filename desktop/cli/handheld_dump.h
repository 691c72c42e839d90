#pragma once

#include <QJsonObject>

#include <ostream>

#include "platform/ce/object_store.h"

namespace tandrel::cli {

// Every database of a handheld store (in creation order) with its records
// (in the first sort order) and every registry value. Binary values are hex.
// False with `error` set when the store cannot be read.
bool DumpStore(ce::ObjectStore& store, QJsonObject& dump, std::uint32_t& error);

// The dump as lines for a person.
void PrintDump(std::ostream& out, const QJsonObject& dump);

}  // namespace tandrel::cli
