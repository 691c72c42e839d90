#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Handheld store commands (handheld dump, program) join this table.
void AddHandheldCommands(CommandTable&) {}

}  // namespace tandrel::cli
