#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Lock user commands (user ..., enrol, unenrol) join this table.
void AddUserCommands(CommandTable&) {}

}  // namespace tandrel::cli
