#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Lock commands (lock ...) join this table.
void AddLockCommands(CommandTable&) {}

}  // namespace tandrel::cli
