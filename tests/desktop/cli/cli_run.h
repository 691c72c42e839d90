#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "desktop/cli/cli.h"

namespace tandrel::testing {

// What one command line run printed, and its exit code.
struct CliResult {
    int exitCode;
    std::string out, err;
    bool Said(const std::string& text) const { return err.find(text) != std::string::npos; }
};

// Runs the command line with `args`, reading `input` as the terminal when
// there is any.
inline CliResult RunCapturing(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = RunCli(args, in, out, err, !input.empty());
    return {code, out.str(), err.str()};
}

}  // namespace tandrel::testing
