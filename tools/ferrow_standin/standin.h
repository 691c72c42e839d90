#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace ferrow_standin {

// ferrow-standin STORE SCRIPT (args without the program name; SCRIPT "-"
// reads `in`). Exit code 0 when every step was written, 1 when the store
// failed, 2 for bad usage or a bad script (the store is then untouched).
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace ferrow_standin
