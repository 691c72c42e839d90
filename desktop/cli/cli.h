#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tandrel {

// What the command line knows of the terminal it runs on.
struct CliTerminal {
    bool input = false;   // standard input is a terminal: questions are asked there
    bool errors = false;  // standard error is a terminal: progress lines are drawn there
    // Turns the echo of typed input off (a password) and on again; unset
    // where the input is no terminal.
    std::function<void(bool echo)> setEcho;
};

// The facility manager's command line (args without the program name).
// Returns the exit code: 0 success, 1 the operation failed (its messages
// are on `err`), 2 bad usage.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CliTerminal& terminal);
// The same on a terminal whose input is `interactive` (tests).
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive);

}  // namespace tandrel
