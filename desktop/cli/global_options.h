#pragma once

#include <string>

#include "desktop/cli/command.h"

namespace tandrel::cli {

// The options every command takes, anywhere on its command line.
const Options& GlobalOptions();
// What the global usage adds after the commands.
const std::string& GlobalNotes();

}  // namespace tandrel::cli
