#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// Time schedule commands (schedule ...) join this table.
void AddScheduleCommands(CommandTable&) {}

}  // namespace tandrel::cli
