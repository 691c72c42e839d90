#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tandrel::cli {

struct Context;

// How a command is declared. The declaration is all there is: the parser
// accepts exactly the options declared for the verb given, and the usage
// texts are made from the same declaration, so the two cannot disagree.
//
// To add a verb, add a Verb to its command's declaration at the end of its
// commands_*.cpp file. To add a command, write a commands_*.cpp file (listed
// in CMakeLists.txt) whose Add...Commands(CommandTable&) adds a Command (see
// commands_locks.cpp), declare that function in command_table.h and call it
// in Commands() (command_table.cpp). The table checks each declaration as
// it is added, and the tests run every declared option through the parser
// and the usage.

// Option::value for an option that takes none.
inline constexpr char kFlag[] = "";
// Option::required for an option the verb cannot do without.
inline constexpr bool kRequired = true;

// "--name NAME" (a value option) or "--csv" (a flag), with its help line.
struct Option {
    std::string name;   // "--name"
    std::string value;  // its placeholder in the usage ("NAME"); kFlag for a flag
    std::string help;   // one line: what it gives
    bool required = false;

    bool Flag() const { return value.empty(); }
};

using Options = std::vector<Option>;
using Handler = std::function<int(Context&)>;

// One thing a command does: `user add`, `schedule holiday add`, or the
// command itself where it has no verbs (`backup`).
struct Verb {
    // The words after the command's name: {"holiday", "add"}; none for a
    // command that is its own verb.
    std::vector<std::string> words = {};
    // The words it takes after them, as the usage shows them; they are also
    // counted from it: "S NAME" two, "[PATH]" none or one, "LOCK..." one or
    // more, "[LOCK...]" any number.
    std::string operands = {};
    std::string summary = {};  // one line: what it does
    Options options = {};
    // Runs the verb; the exit code. Arguments::Words() still holds the
    // command's name and the verb's words first.
    Handler run = {};
};

// A command: the first word of a command line, and its verbs.
struct Command {
    std::string name;
    std::vector<Verb> verbs;
    // Closes `help COMMAND`: how the operands are named, what the values mean.
    std::string notes = {};
};

}  // namespace tandrel::cli
