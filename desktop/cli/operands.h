#pragma once

#include <cstddef>
#include <string>

namespace tandrel::cli {

// How many words a verb takes after its own, read from its operands as the
// usage shows them: "S NAME" two, "[PATH]" none or one, "LOCK..." one or
// more, "[LOCK...]" any number.
struct Arity {
    std::size_t min = 0;
    std::size_t max = 0;
    bool Takes(std::size_t count) const { return count >= min && count <= max; }
};

// Throws std::logic_error for operands that cannot be counted: a required
// one after an optional one, anything after a repeated one.
Arity ArityOf(const std::string& operands);

}  // namespace tandrel::cli
