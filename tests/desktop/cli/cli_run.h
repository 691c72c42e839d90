#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "desktop/cli/cli.h"
#include "tests/support/temp_dir.h"

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

// Runs the command line answering Yes, with settings of its own in `dir`,
// on the facility `name` kept there; "create" and "handheld" name no
// facility.
inline CliResult RunOnFacility(const TempDir& dir, const QString& name,
                               const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--settings", dir.Path("s.ini").toStdString(), "--yes"};
    if (args[0] != "create" && args[0] != "handheld")
        all.insert(all.end(), {"--file", dir.Path(name + ".qfd").toStdString()});
    all.insert(all.end(), args.begin(), args.end());
    return RunCapturing(all);
}

}  // namespace tandrel::testing
