#pragma once

#include <string>

#include "desktop/cli/command_table.h"

namespace tandrel::cli {

// The usage texts, made from the declarations alone.

// `tandrel-cli help`: the global options, then every verb of every command
// on one line each.
std::string GlobalUsage(const CommandTable& table);
// `help COMMAND`: each verb with its options, then what the options mean.
std::string CommandUsage(const Command& command);
// One verb's part of CommandUsage, after its "usage: " or "   or: ".
std::string VerbUsage(const Command& command, const Verb& verb);

}  // namespace tandrel::cli
