#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// User group commands (group list|set) join this table.
void AddGroupCommands(CommandTable&) {}

}  // namespace tandrel::cli
