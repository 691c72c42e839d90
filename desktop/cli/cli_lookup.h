#pragma once

#include <QString>

#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Users, locks and locations as the command line names them. Each throws a
// LookupError naming what was not found, or what was found more than once
// and how to name one of them.

// A key, or a list name ("Last, First") or last name that only one user has.
int UserKeyOf(CTDXDoc& doc, const QString& name);
// A key, a lock name that only one lock has, or a lock's path: its location
// path and name, "\Building A\Front" (names are unique within a location).
int LockKeyOf(CTDXDoc& doc, const QString& name);
// A location path from the root: "\" for the root, "\Building A\East\".
int LocationKeyOf(CTDXDoc& doc, const QString& path);
bool IsLocationPath(const QString& text);
// A word where locks and locations are taken: a key or a name is a lock, a
// path ending in "\" a location; another path is the location it names, or
// else the lock it ends with.
struct LockOrLocation {
    bool location;
    int key;
};
LockOrLocation LockOrLocationOf(CTDXDoc& doc, const QString& word);
// A device key, or a device name that only one device has; "0" is no
// device.
int DeviceKeyOf(CTDXDoc& doc, const QString& name);

}  // namespace tandrel::cli
