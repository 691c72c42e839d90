#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lockframe {

// Runs one lockframe command (args without the program name). Returns the
// process exit code: 0 success, 1 when the input held no good frame or
// reply, 2 for bad usage or bad input.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lockframe
