#pragma once

#include <memory>

#include "desktop/cli/cli_context.h"
#include "desktop/exchange/cradle_connector.h"

namespace tandrel::cli {

// The way to the handheld: the store named by --handheld, or the cradle the
// settings name. Only an enrolment may make a missing store (a handheld
// never used before); any other command refuses a store that is not there,
// so a mistyped name never becomes an empty handheld.
std::unique_ptr<CradleConnector> HandheldConnector(Context& c, bool makeMissingStore = false);

}  // namespace tandrel::cli
