#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tandrel {

// The facility manager's command line (args without the program name).
// Returns the exit code: 0 success, 1 the operation failed (its messages
// are on `err`), 2 bad usage.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive);

}  // namespace tandrel
