#pragma once

#include "desktop/cli/cli_context.h"

namespace tandrel::cli {

// The options that give facility properties, as `facility set` and
// `create` take them.
Options FacilityOptions();
// Reads every option given into the values; true when a daylight-saving
// value was given (its page counts as shown).
bool ApplyFacilityOptions(const Context& c, NewFacilityValues& v);

}  // namespace tandrel::cli
