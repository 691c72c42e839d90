#pragma once

#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// "user export FILE": every listed user as a CSV row under a header of
// field names, in a file readable by its owner only.
int ExportUsers(Context& c);
// "user import FILE": every row through the checks of a new user's sheet;
// one refused row and nothing is imported.
int ImportUsers(Context& c);

}  // namespace tandrel::cli
