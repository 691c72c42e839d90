#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Facility property commands (facility show|set) join this table.
void AddPropertiesCommands(CommandTable&) {}

}  // namespace tandrel::cli
