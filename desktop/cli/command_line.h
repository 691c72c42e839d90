#pragma once

#include <map>
#include <string>
#include <vector>

#include "desktop/cli/arguments.h"
#include "desktop/cli/command_table.h"

namespace tandrel::cli {

// A command line split into its options and its other words.
struct CommandLine {
    std::vector<std::string> words;              // the command first
    std::map<std::string, std::string> options;  // each given, with its value ("" for a flag)
    const Command* command = nullptr;            // the one the first word names
    std::string problem;  // the first fault found while splitting; empty when none

    bool Has(const std::string& option) const { return options.count(option) > 0; }
    // `help`, `help COMMAND` or --help anywhere.
    bool AsksForHelp() const;
};

// Splits `words` by the table: whether an option takes a value comes from
// its declaration. Never throws: an undeclared option, or a value missing,
// is kept in `problem` so the command's usage can still be shown.
CommandLine SplitCommandLine(const CommandTable& table, const std::vector<std::string>& words);

// The verb the line names, its options and operands checked against its
// declaration; throws UsageError for anything the declaration does not take.
const Verb& VerbOf(const CommandLine& line);

// What the verb's handler reads.
Arguments ArgumentsOf(const CommandLine& line, const Verb& verb);

}  // namespace tandrel::cli
