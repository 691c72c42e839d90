#pragma once

#include <QString>

#include <optional>
#include <ostream>

#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// The environment variable a script may keep the facility password in.
inline constexpr char kPasswordVariable[] = "TANDREL_PASSWORD";

// The facility password the command line was given: --password or the
// first line of --password-file, else TANDREL_PASSWORD; nullopt when none.
// A password file others may read is named in a warning on `err`.
std::optional<QString> GivenPassword(const Arguments& args, std::ostream& err);

}  // namespace tandrel::cli
