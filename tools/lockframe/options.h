#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "protocol/bytes.h"

namespace lockframe {

// Bad usage or bad input; the message is shown to the user as it is.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Command-line words split into options ("--name value", "--flag") and
// positional arguments. Which options take a value is told up front.
class Options {
  public:
    Options(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
            const std::vector<std::string>& flagOptions);

    bool Has(const std::string& name) const { return values_.count(name) > 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

// Decimal or 0x-prefixed hexadecimal, within [min, max].
long ParseNumber(const std::string& text, long min, long max, const std::string& what);
// Two-digit hex groups; throws UsageError naming `what` when malformed.
protocol::Bytes ParseHexArgument(const std::string& text, const std::string& what);

}  // namespace lockframe
