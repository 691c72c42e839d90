#include "desktop/cli/global_options.h"

namespace tandrel::cli {

const Options& GlobalOptions() {
    static const Options options = {
        {"--file", "FACILITY", "the facility; without it the one opened last (named on stderr)"},
        {"--password-file", "FILE", "the facility password: the first line of FILE"},
        {"--password", "PASSWORD", "the facility password (other users of the machine see it)"},
        {"--yes", kFlag, "answer every question Yes"},
        {"--no", kFlag, "answer every question No"},
        {"--json", kFlag, "print JSON instead of text"},
        {"--progress", kFlag, "write progress lines where standard error is no terminal"},
        {"--settings", "FILE", "keep the settings in FILE"},
        {"--verbose", kFlag, "name each long step on standard error"},
        {"--help", kFlag, "show the usage of the command given"},
    };
    return options;
}

const std::string& GlobalNotes() {
    static const std::string notes =
        "The facility password comes from --password-file or --password, else from the\n"
        "environment variable TANDREL_PASSWORD, else from the terminal, unechoed.\n"
        "Questions are asked on the terminal. Without a terminal and without --yes or --no,\n"
        "a command stops at its first question, before changing anything.\n"
        "Users and locks are named by key or by name, a lock also by its path\n"
        "(\"\\A\\B\\Lock\"), locations by path (\"\\A\\B\\\").\n"
        "tandrel-cli help COMMAND (or COMMAND --help) shows one command's usage.\n";
    return notes;
}

}  // namespace tandrel::cli
