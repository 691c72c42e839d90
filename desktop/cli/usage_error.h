#pragma once

#include <stdexcept>

namespace tandrel::cli {

// Bad usage; the message is shown with the command's usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A user, lock, location, device or schedule that is not there (or not
// only once): shown as one line, without the usage text.
struct LookupError : UsageError {
    using UsageError::UsageError;
};

}  // namespace tandrel::cli
