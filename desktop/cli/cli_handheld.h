#pragma once

#include <memory>

#include "desktop/cli/cli_context.h"
#include "desktop/exchange/cradle_connector.h"

namespace tandrel::cli {

// The way to the handheld: the store named by --handheld (made when it does
// not exist yet, as for a handheld never used before), or the cradle the
// settings name.
std::unique_ptr<CradleConnector> HandheldConnector(Context& c);

}  // namespace tandrel::cli
