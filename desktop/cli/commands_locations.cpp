#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Location commands (location ..., lock remove|refresh) join this table.
void AddLocationCommands(CommandTable&) {}

}  // namespace tandrel::cli
