#pragma once

#include <QString>

#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Users, locks and locations as the command line names them. Each throws a
// UsageError naming what was not found (or found more than once).

// A key, a list name ("Last, First") or a last name that only one user has.
int UserKeyOf(CTDXDoc& doc, const QString& name);
// A key or a lock name that only one lock has.
int LockKeyOf(CTDXDoc& doc, const QString& name);
// A location path from the root: "\" for the root, "\Building A\East\".
int LocationKeyOf(CTDXDoc& doc, const QString& path);
bool IsLocationPath(const QString& text);
// A device key, or a device name that only one device has; "0" is no
// device.
int DeviceKeyOf(CTDXDoc& doc, const QString& name);

}  // namespace tandrel::cli
